// The settings handlers and the preset on a real window (offscreen) with the
// recording instrument and the real signal-processing library.
#include "driver/tests/fake_instrument.h"
#include "settings/settings_lists.h"
#include "settings/tests/preset_traffic.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr int32_t kHandle = 4097;
const std::string H = std::to_string(kHandle);

struct SettingsWindow : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        form->instr = kHandle;
        // What start-up writes before the preset runs.
        instrument.diag_reg(kHandle, 1, 1812);
        instrument.clearLog();
    }
    void TearDown() override { form.reset(); }

    // Types `text` into field `index` and leaves it.
    QString commit(int index, const QString& text) {
        form->txt[index]->setText(text);
        form->txt_lostfocus(index);
        return form->txt[index]->text();
    }
    bool logged(const std::string& line) const {
        const auto& log = instrument.log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    long countOf(const std::string& line) const {
        const auto& log = instrument.log();
        return std::count(log.begin(), log.end(), line);
    }
    QStringList entries(QComboBox* list) const {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->itemText(i);
        }
        return out;
    }
};

// ---- Numeric entry fields --------------------------------------------------

TEST_F(SettingsWindow, LettersInAveragesReadAsOne) {
    EXPECT_EQ(commit(3, "many"), "1");
    EXPECT_EQ(form->numavg, 1);
    EXPECT_EQ(commit(3, "7.5"), "8");
    EXPECT_EQ(form->numavg, 8);
    EXPECT_TRUE(instrument.log().empty()); // "# Averages" is no instrument setting
}

TEST_F(SettingsWindow, MagnitudeLevelIsQuantisedAndLimited) {
    EXPECT_EQ(commit(7, "-60"), "-59.83");
    EXPECT_EQ(form->magcode, -159);
    EXPECT_EQ(instrument.log(),
              std::vector<std::string>{"zrq7010_trigger_maglevel " + H + " -159"});
    EXPECT_EQ(commit(7, "20"), "7.15");
    EXPECT_EQ(form->magcode, 19);
    EXPECT_EQ(instrument.log().back(), "zrq7010_trigger_maglevel " + H + " 19");
    EXPECT_EQ(commit(7, "-1000"), "-131.32");
    EXPECT_EQ(instrument.log().back(), "zrq7010_trigger_maglevel " + H + " -349");
}

TEST_F(SettingsWindow, AdcLevelIsLimited) {
    EXPECT_EQ(commit(6, "300"), "255");
    EXPECT_EQ(form->adclevel, 255);
    EXPECT_EQ(instrument.log().back(), "zrq7010_trigger_adclevel " + H + " 255");
    EXPECT_EQ(commit(6, "-300"), "-256");
    EXPECT_EQ(instrument.log().back(), "zrq7010_trigger_adclevel " + H + " -256");
    EXPECT_EQ(commit(6, "2.5"), "2.5"); // the field shows V, the module gets the even neighbour
    EXPECT_EQ(instrument.log().back(), "zrq7010_trigger_adclevel " + H + " 2");
}

TEST_F(SettingsWindow, GridsAndPerDivisionFieldsAreLimited) {
    form->modeindex = 1;
    EXPECT_EQ(commit(11, "0.4"), "1");
    EXPECT_EQ(form->ygrids[1], 1);
    EXPECT_EQ(commit(11, "77"), "50");
    EXPECT_EQ(form->ygrids[1], 50);
    EXPECT_EQ(commit(14, "77"), "77");
    EXPECT_EQ(form->xgrids[1], 77);
    commit(13, "0");
    EXPECT_EQ(form->xperdiv[1], 1e-10);
    EXPECT_EQ(form->txt[13]->text().toDouble(), 1e-10);
    commit(10, "0");
    EXPECT_EQ(form->yperdiv[1], 1e-20);
    EXPECT_EQ(commit(17, "-5"), "5");
    EXPECT_EQ(form->markstep[1], 5);
    EXPECT_TRUE(instrument.log().empty());
}

TEST_F(SettingsWindow, EveryCommitAsksForNewAxes) {
    form->relabel = false;
    commit(0, "3");
    EXPECT_TRUE(form->relabel);
    EXPECT_EQ(form->markx[form->modeindex], 3);
}

TEST_F(SettingsWindow, FieldsFeedOnlyTheSlotOfTheCurrentMode) {
    form->modeindex = 1;
    const double timeSlot = form->yperdiv[0];
    const double histSlot = form->yperdiv[2];
    commit(10, "5");
    EXPECT_EQ(form->yperdiv[1], 5);
    EXPECT_EQ(form->yperdiv[0], timeSlot);
    EXPECT_EQ(form->yperdiv[2], histSlot);
    form->modeindex = 0;
    commit(9, "-2");
    EXPECT_EQ(form->yref[0], -2);
    EXPECT_EQ(form->yref[1], 0);
}

TEST_F(SettingsWindow, ModeChangeShowsEachModesOwnValue) {
    zr::selectEntry(form->measmode, 1);
    commit(10, "5");
    zr::selectEntry(form->measmode, 0);
    EXPECT_EQ(form->txt[10]->text().toDouble(), form->yperdiv[0]);
    EXPECT_NE(form->yperdiv[0], 5);
    zr::selectEntry(form->measmode, 1);
    EXPECT_EQ(form->txt[10]->text(), "5");
}

TEST_F(SettingsWindow, HistogramLimitsGoToTheMeasurementState) {
    commit(4, "-2.5");
    commit(5, "3e2");
    EXPECT_EQ(form->histmin, -2.5);
    EXPECT_EQ(form->histmax, 300);
    EXPECT_EQ(form->txt[5]->text(), "300");
}

TEST_F(SettingsWindow, DelayFieldShowsTheDelayTheModuleAccepted) {
    instrument.triggerDelayAnswer = 1000;
    EXPECT_EQ(commit(8, "12345.4"), "1000");
    EXPECT_EQ(form->trigdelay, 1000);
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_trigger_delay " + H + " 12345",
                                                          "zrq7010_trigger_delay_get " + H}));
}

TEST_F(SettingsWindow, HugeEntriesStayFinite) {
    // A delay beyond 32 bits is sent as the nearest 32-bit value.
    EXPECT_EQ(commit(8, "1e12"), "2147483647");
    EXPECT_EQ(instrument.log().front(), "zrq7010_trigger_delay " + H + " 2147483647");
    // An overflowing number reads as the largest finite double.
    form->modeindex = 1;
    commit(12, "1e999");
    EXPECT_EQ(form->xref[1], DBL_MAX);
    EXPECT_EQ(form->txt[12]->text().toDouble(), DBL_MAX);
}

TEST_F(SettingsWindow, CentreFrequencyIsSentAsFractionOfTheClock) {
    commit(2, "5120000");
    EXPECT_EQ(form->centerfrac, 0.25);
    EXPECT_EQ(instrument.log().back(), "zrq7010_frequency_center " + H + " 0.25");
    EXPECT_EQ(form->txt[2]->text(), "5120000");
}

TEST_F(SettingsWindow, ExternalClockFieldIsLimitedAndRebuildsEvenWhenNotExternal) {
    zr::selectEntry(form->clocksource, 1); // 20 MHz
    commit(2, "5000000");
    ASSERT_EQ(form->bandwidth->count(), 24);
    form->bandwidth->setItemText(1, "stale");
    form->sampfreq->setItemText(0, "stale");
    instrument.clearLog();

    EXPECT_EQ(commit(1, "30000000"), "20480000");
    EXPECT_EQ(form->clockfreq, 20000000); // not External: the clock stays
    EXPECT_EQ(form->bandwidth->itemText(1), "3,906,250.00");
    EXPECT_EQ(form->sampfreq->itemText(0), " 20000000");
    EXPECT_EQ(instrument.log(),
              std::vector<std::string>{"zrq7010_frequency_center " + H + " 0.25"});
    EXPECT_EQ(commit(1, "0"), "1");
}

TEST_F(SettingsWindow, ExternalClockTakesTheFieldAndReappliesTheCentre) {
    commit(1, "10000000");
    commit(2, "5000000");
    instrument.clearLog();
    zr::selectEntry(form->clocksource, 2);
    EXPECT_EQ(form->clockindex, 2);
    EXPECT_EQ(form->clockfreq, 10000000);
    EXPECT_EQ(instrument.log(),
              (std::vector<std::string>{"zrq7010_clock_source " + H + " 2",
                                        "zrq7010_frequency_center " + H + " 0.5"}));
    EXPECT_EQ(form->sampfreq->itemText(0), " 10000000");
    // While External, the field sets the clock.
    commit(1, "5000000");
    EXPECT_EQ(form->clockfreq, 5000000);
    EXPECT_EQ(instrument.log().back(), "zrq7010_frequency_center " + H + " 1");
}

TEST_F(SettingsWindow, EnterCommitsWithoutReachingTheField) {
    QSignalSpy returns(form->txt[3], &QLineEdit::returnPressed);
    form->txt[3]->setText("4.4");
    form->relabel = false;
    QTest::keyClick(form->txt[3], Qt::Key_Return);
    EXPECT_EQ(form->numavg, 4);
    EXPECT_EQ(form->txt[3]->text(), "4");
    EXPECT_EQ(returns.count(), 0);
    EXPECT_TRUE(form->relabel);
}

TEST_F(SettingsWindow, LeavingAFieldCommitsIt) {
    form->show();
    QApplication::setActiveWindow(form.get());
    form->controlmenu_click(2); // Trigger panel
    form->txt[6]->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(form->txt[6]->hasFocus());
    QTest::keyClicks(form->txt[6], "999");
    EXPECT_TRUE(instrument.log().empty()); // typing alone applies nothing
    form->txt[7]->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form->txt[6]->text(), "255");
    EXPECT_EQ(instrument.log(), std::vector<std::string>{"zrq7010_trigger_adclevel " + H + " 255"});
}

// ---- Lists of the Acquisition panel ----------------------------------------

TEST_F(SettingsWindow, BandwidthTextsFollowClockTypeAndFilter) {
    zr::selectEntry(form->clocksource, 0);
    zr::selectEntry(form->aliasfilt, 1);
    zr::selectEntry(form->datatype, 1);
    const QString pm = QString::fromUtf8("\xC2\xB1");
    QStringList bw = entries(form->bandwidth);
    ASSERT_EQ(bw.size(), 24);
    EXPECT_EQ(bw[0], pm + "8MHz");
    EXPECT_EQ(bw[1], pm + "4,000,000.00");
    EXPECT_EQ(bw[23], pm + ".95");

    zr::selectEntry(form->datatype, 0);
    bw = entries(form->bandwidth);
    EXPECT_EQ(bw[0], "8MHz");
    EXPECT_EQ(bw[1], "4,000,000.00");
    EXPECT_EQ(bw[23], ".95");

    zr::selectEntry(form->aliasfilt, 0);
    EXPECT_EQ(form->bandwidth->itemText(0), "40MHz");

    zr::selectEntry(form->clocksource, 3); // 20 MHz locked
    EXPECT_EQ(form->clockfreq, 20000000);
    EXPECT_EQ(instrument.callsOf("zrq7010_clock_source").back(),
              "zrq7010_clock_source " + H + " 3");
    EXPECT_EQ(form->bandwidth->itemText(1), "3,906,250.00");
    EXPECT_EQ(form->bandwidth->itemText(23), ".93");
    EXPECT_EQ(form->bandwidth->count(), 24);
}

TEST_F(SettingsWindow, SampleRateTextsFollowTheBandwidthAndKeepSelections) {
    zr::selectEntry(form->clocksource, 0);
    zr::selectEntry(form->bandwidth, 0);
    EXPECT_EQ(entries(form->sampfreq), (QStringList{" 20480000", " 10240000"}));
    zr::selectEntry(form->bandwidth, 1);
    EXPECT_EQ(entries(form->sampfreq), (QStringList{" 20480000", " 10240000"}));
    zr::selectEntry(form->sampfreq, 1);
    zr::selectEntry(form->bandwidth, 3);
    EXPECT_EQ(entries(form->sampfreq), (QStringList{" 5120000", " 2560000"}));
    EXPECT_EQ(instrument.log().back(), "zrq7010_filter_bw " + H + " 3");
    // Rebuilding the texts keeps both selections and runs no handler.
    const long before = zr::dispatchCount();
    instrument.clearLog();
    zr::selectEntry(form->aliasfilt, 0);
    EXPECT_EQ(zr::dispatchCount(), before + 1);
    EXPECT_EQ(form->bandwidth->currentIndex(), 3);
    EXPECT_EQ(form->sampfreq->currentIndex(), 1);
    EXPECT_EQ(instrument.log(), std::vector<std::string>{"zrq7010_input_alias_filter " + H + " 0"});
}

TEST_F(SettingsWindow, SampleRateAndBandwidthRestartAveraging) {
    zr::selectEntry(form->clocksource, 0);
    form->avgcount = 5;
    form->relabel = false;
    zr::selectEntry(form->sampfreq, 1);
    EXPECT_EQ(form->decimindex, 1);
    EXPECT_EQ(instrument.log().back(), "zrq7010_filter_decimate " + H + " 1");
    EXPECT_EQ(form->avgcount, 0);
    EXPECT_TRUE(form->relabel);
    form->avgcount = 5;
    zr::selectEntry(form->bandwidth, 2);
    EXPECT_EQ(form->bwindex, 2);
    EXPECT_EQ(form->avgcount, 0);
}

TEST_F(SettingsWindow, DataTypeSwitchesTheResamplingPanelAndReappliesTheDelay) {
    form->show();
    form->avgcount = 3;
    zr::selectEntry(form->datatype, 1);
    EXPECT_EQ(form->datatypeindex, 1);
    EXPECT_TRUE(form->Frame4->isHidden());
    EXPECT_EQ(form->avgcount, 0);
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_data_type " + H + " 1",
                                                          "zrq7010_trigger_delay " + H + " 0",
                                                          "zrq7010_trigger_delay_get " + H}));
    zr::selectEntry(form->datatype, 0);
    EXPECT_FALSE(form->Frame4->isHidden());
}

TEST_F(SettingsWindow, PrecisionReappliesTheDelay) {
    commit(8, "77");
    instrument.clearLog();
    zr::selectEntry(form->precision, 1);
    EXPECT_EQ(form->resolutionindex, 1);
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_data_resolution " + H + " 1",
                                                          "zrq7010_trigger_delay " + H + " 77",
                                                          "zrq7010_trigger_delay_get " + H}));
}

TEST_F(SettingsWindow, BlockSizeProgramsTheLengthAndRecomputesTheWindow) {
    form->windowindex = 2;
    form->avgcount = 4;
    zr::selectEntry(form->blocksize, 5);
    EXPECT_EQ(form->blocklen, 1024);
    EXPECT_EQ(form->blockindex, 5);
    EXPECT_EQ(instrument.log(), std::vector<std::string>{"zrq7010_data_blocksize " + H + " 1024"});
    const double sum =
        std::accumulate(form->windowbuf.begin(), form->windowbuf.begin() + 1024, 0.0);
    EXPECT_NEAR(sum, 6.32455532, 1e-4);
    EXPECT_EQ(form->avgcount, 0);
    zr::selectEntry(form->blocksize, 0);
    EXPECT_EQ(form->blocklen, 32);
    const double sum32 =
        std::accumulate(form->windowbuf.begin(), form->windowbuf.begin() + 32, 0.0);
    EXPECT_NEAR(sum32, 6.32455532, 1e-4);
}

TEST_F(SettingsWindow, AppendStatusSendsTheBox) {
    zr::setChecked(form->appendstatus, true);
    zr::setChecked(form->appendstatus, false);
    EXPECT_EQ(instrument.log(),
              (std::vector<std::string>{"zrq7010_data_append_status " + H + " 1",
                                        "zrq7010_data_append_status " + H + " 0"}));
}

// ---- Input -----------------------------------------------------------------

TEST_F(SettingsWindow, RangeCodeIsNineMinusTheIndexAndTheTrimReadoutFollows) {
    zr::selectEntry(form->trimdac, 1);
    instrument.clearLog();
    form->relabel = false;
    zr::selectEntry(form->range, 9);
    EXPECT_EQ(form->rangeindex, 9);
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_input_range " + H + " 0",
                                                          "zrq7010_diag_reg_get " + H + " 3"}));
    EXPECT_TRUE(form->relabel);
    zr::selectEntry(form->range, 0);
    EXPECT_EQ(instrument.callsOf("zrq7010_input_range").back(), "zrq7010_input_range " + H + " 9");
    zr::selectEntry(form->range, 5);
    EXPECT_EQ(instrument.callsOf("zrq7010_input_range").back(), "zrq7010_input_range " + H + " 4");
}

TEST_F(SettingsWindow, InputListsSendTheirIndex) {
    zr::selectEntry(form->coupling, 1);
    zr::selectEntry(form->ground, 1);
    zr::selectEntry(form->signal, 0);
    zr::selectEntry(form->aliasfilt, 0);
    zr::clickButton(form->autozero);
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_input_coupling " + H + " 1",
                                                          "zrq7010_input_float " + H + " 1",
                                                          "zrq7010_input_signal " + H + " 0",
                                                          "zrq7010_input_alias_filter " + H + " 0",
                                                          "zrq7010_input_autozero " + H}));
    EXPECT_EQ(form->couplingindex, 1);
    EXPECT_EQ(form->groundindex, 1);
    EXPECT_EQ(form->signalindex, 0);
    EXPECT_EQ(form->aliasindex, 0);
    EXPECT_EQ(form->bandwidth->itemText(0), "40MHz");
}

TEST_F(SettingsWindow, AutoRangeSelectsTheRangeTheModuleChose) {
    zr::selectEntry(form->trimdac, 1);
    instrument.statusSequence = {0, 0x0004, 0x0001};
    instrument.rangeGetAnswer = 4;
    instrument.clearLog();
    zr::clickButton(form->autorange);
    EXPECT_EQ(form->range->currentIndex(), 5);
    EXPECT_EQ(form->range->currentText(), "320mV, (0dBm)");
    EXPECT_EQ(form->rangeindex, 5);
    const std::vector<std::string> expected = {"zrq7010_input_range_auto " + H + " 0 0",
                                               "zrq7010_status_get " + H,
                                               "zrq7010_status_get " + H,
                                               "zrq7010_status_get " + H,
                                               "zrq7010_status_get " + H,
                                               "zrq7010_input_range_get " + H,
                                               "zrq7010_input_range " + H + " 4",
                                               "zrq7010_diag_reg_get " + H + " 3"};
    EXPECT_EQ(instrument.log(), expected);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SettingsWindow, AutoRangeAnswerOutsideTheCodesSelectsARealEntry) {
    instrument.rangeGetAnswer = 12;
    zr::clickButton(form->autorange);
    EXPECT_EQ(form->range->currentIndex(), 0);
    EXPECT_EQ(instrument.callsOf("zrq7010_input_range").back(), "zrq7010_input_range " + H + " 9");
}

TEST_F(SettingsWindow, AutoRangeThatNeverFinishesReportsAndKeepsTheRange) {
    zr::selectEntry(form->range, 2);
    instrument.statusDefault = 0x0004; // armed, never idle
    form->autorangeTimeout = std::chrono::milliseconds(30);
    instrument.clearLog();
    const auto start = std::chrono::steady_clock::now();
    zr::clickButton(form->autorange);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, zr::ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.shown()[0].text.toStdString(), std::string(zr::kAutorangeTimeoutMessage));
    EXPECT_EQ(form->range->currentIndex(), 2);
    EXPECT_EQ(form->rangeindex, 2);
    EXPECT_TRUE(instrument.callsOf("zrq7010_input_range_get").empty());
    EXPECT_EQ(instrument.log().front(), "zrq7010_input_range_auto " + H + " 0 0");
    EXPECT_FALSE(form->ended());
}

// ---- Trigger and clock -----------------------------------------------------

TEST_F(SettingsWindow, TriggerAndClockListsSendTheirIndex) {
    zr::selectEntry(form->trigsource, 3);
    zr::selectEntry(form->trigslope, 1);
    zr::selectEntry(form->mastermode, 2);
    zr::selectEntry(form->syncmode, 1);
    zr::setChecked(form->triggen, true);
    zr::setChecked(form->triggen, false);
    EXPECT_EQ(instrument.log(),
              (std::vector<std::string>{
                  "zrq7010_trigger_type " + H + " 3", "zrq7010_trigger_slope " + H + " 1",
                  "zrq7010_clock_master " + H + " 2", "zrq7010_clock_multi_sync " + H + " 1",
                  "zrq7010_trigger_gen " + H + " 1", "zrq7010_trigger_gen " + H + " 0"}));
    EXPECT_EQ(form->trigtypeindex, 3);
    EXPECT_EQ(form->trigslopeindex, 1);
    EXPECT_EQ(form->masterindex, 2);
    EXPECT_EQ(form->syncindex, 1);
}

TEST_F(SettingsWindow, CheckedSlowClockSendsZero) {
    zr::setChecked(form->slowclock, true);
    zr::setChecked(form->slowclock, false);
    EXPECT_EQ(instrument.log(), (std::vector<std::string>{"zrq7010_clock_dsp " + H + " 0",
                                                          "zrq7010_clock_dsp " + H + " 1"}));
}

// ---- Preset ----------------------------------------------------------------

TEST_F(SettingsWindow, PresetLeavesTheDocumentedState) {
    form->presetall();
    EXPECT_EQ(form->txt[13]->text(), "1024000");
    EXPECT_EQ(form->xperdiv, (zr::PerMode{5e-6, 1024000, 0.1}));
    EXPECT_EQ(form->txt[17]->text(), "1000000");
    EXPECT_EQ(form->txt[7]->text(), "-59.83");
    EXPECT_EQ(form->magcode, -159);
    EXPECT_TRUE(logged("zrq7010_trigger_maglevel " + H + " -159"));
    const std::vector<float> taps = {-0.16631539f, 1.3403462f, -5.4362984f, 14.388607f,
                                     -26.729116f,  34.205555f, -26.729116f, 14.388607f,
                                     -5.4362984f,  1.3403462f, -0.16631539f};
    EXPECT_EQ(std::vector<float>(form->firkernel.begin(), form->firkernel.begin() + 11), taps);
    EXPECT_EQ(form->firkernel[11], 0.0f);

    EXPECT_EQ(form->modeindex, 1);
    EXPECT_EQ(form->clockfreq, 20480000);
    EXPECT_EQ(form->blocklen, 1024);
    EXPECT_EQ(form->rangeindex, 0);
    EXPECT_EQ(form->aliasindex, 1);
    EXPECT_EQ(form->signalindex, 1);
    EXPECT_EQ(form->trigtypeindex, 4);
    EXPECT_EQ(form->bwindex, 0);
    EXPECT_EQ(form->decimindex, 0);
    EXPECT_EQ(form->numavg, 10);
    EXPECT_EQ(form->histmin, -1);
    EXPECT_EQ(form->histmax, 1);
    EXPECT_TRUE(form->triggen->isChecked());
    EXPECT_TRUE(form->xautoflag->isChecked());
    EXPECT_FALSE(form->slowclock->isChecked());
    EXPECT_EQ(form->bandwidth->itemText(0), "8MHz");
    EXPECT_EQ(form->bandwidth->currentIndex(), 0);
    EXPECT_EQ(form->sampfreq->itemText(0), " 20480000");
    EXPECT_EQ(form->blocksize->currentText(), "1024");
    EXPECT_EQ(form->window->currentText(), "Gauss top");
    EXPECT_EQ(form->txt[0]->text(), "0");
    EXPECT_EQ(form->txt[1]->text(), "20480000");
    const double sum =
        std::accumulate(form->windowbuf.begin(), form->windowbuf.begin() + 1024, 0.0);
    EXPECT_NEAR(sum, 6.32455532, 1e-4);
}

TEST_F(SettingsWindow, PresetDriverTrafficInOrder) {
    form->presetall();
    EXPECT_EQ(instrument.log(), zr::test::expectedPresetTraffic(kHandle));
}

TEST_F(SettingsWindow, PresetTwiceSendsTheSameTrafficAndKeepsTheState) {
    form->presetall();
    const std::vector<std::string> first = instrument.log();
    QStringList texts;
    for (auto* t : form->txt) {
        texts << t->text();
    }
    const zr::PerMode xperdiv = form->xperdiv;
    const zr::PerMode xref = form->xref;
    instrument.clearLog();
    form->presetall();
    EXPECT_EQ(instrument.log(), first);
    QStringList again;
    for (auto* t : form->txt) {
        again << t->text();
    }
    EXPECT_EQ(again, texts);
    EXPECT_EQ(form->xperdiv, xperdiv);
    EXPECT_EQ(form->xref, xref);
}

TEST_F(SettingsWindow, PresetRunsEveryHandlerOnceEvenWhenUnchanged) {
    form->presetall();
    QStringList trace;
    form->setHandlerTrace([&](const QString& name) { trace << name; });
    form->presetall();
    for (const char* name :
         {"range_click", "clocksource_Click", "measmode_Click", "datatype_Click", "bandwidth_Click",
          "sampfreq_Click", "slowclock_Click", "trigsource_Click", "calmode_Click"}) {
        EXPECT_EQ(trace.count(name), 1) << name;
    }
    // The position lists run once from the mode change and once from their own step.
    EXPECT_EQ(trace.count("xpos_Click"), 2);
    EXPECT_EQ(trace.count("ypos_Click"), 2);
    // The block-size list runs its handler once; window_Click calls it directly.
    EXPECT_EQ(trace.count("blocksize_click"), 1);
    EXPECT_EQ(trace.count("triggen_Click"), 0); // called directly, not through the box
}

} // namespace

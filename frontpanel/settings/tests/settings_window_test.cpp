// The settings handlers and the preset on a real window (offscreen) with the
// recording instrument and the real signal-processing library.
#include "driver/tests/fake_instrument.h"
#include "measure/processing.h"
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
#include <QTest>

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int32_t kHandle = 4097;
using Log = std::vector<std::string>;

// A log line of the recording instrument for the session.
std::string call(const char* function, const std::string& args = "") {
    return "zrq7010_" + std::string(function) + " " + std::to_string(kHandle) +
           (args.empty() ? "" : " " + args);
}

struct SettingsWindow : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        form->instr = kHandle;
        instrument.diag_reg(kHandle, 1, 1812); // what start-up writes before the preset runs
        instrument.clearLog();
    }
    // Types `text` into field `index` and leaves it.
    QString commit(int index, const QString& text) {
        form->txt[index]->setText(text);
        form->txt_lostfocus(index);
        return form->txt[index]->text();
    }
    QStringList entries(QComboBox* list) const {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->itemText(i);
        }
        return out;
    }
    double windowSum() const {
        return std::accumulate(form->windowbuf.begin(), form->windowbuf.begin() + form->blocklen,
                               0.0);
    }
};

// ---- Numeric entry fields --------------------------------------------------

// The value in force lands where it belongs, the field shows it, and only instrument settings
// reach the driver.
TEST_F(SettingsWindow, FieldsStoreShowAndSendTheValueInForce) {
    instrument.triggerDelayAnswer = 1000;
    form->modeindex = 1;
    zr::MainForm& f = *form;
    const auto at = [](auto& value) { return [&value] { return static_cast<double>(value); }; };
    struct Case {
        int index;
        const char* typed;
        const char* shown;
        std::function<double()> stored;
        double value;
        Log calls;
    };
    const Case cases[] = {
        {3, "many", "1", at(f.numavg), 1, {}},
        {7, "-60", "-59.83", at(f.magcode), -159, {call("trigger_maglevel", "-159")}},
        // The field shows the value, the module gets the even neighbour.
        {6, "2.5", "2.5", at(f.adclevel), 2, {call("trigger_adclevel", "2")}},
        {11, "77", "50", at(f.ygrids[1]), 50, {}},
        {14, "77", "77", at(f.xgrids[1]), 77, {}},
        {13, "0", "1E-10", at(f.xperdiv[1]), 1e-10, {}},
        {10, "0", "1E-20", at(f.yperdiv[1]), 1e-20, {}},
        {17, "-5", "5", at(f.markstep[1]), 5, {}},
        {0, "3", "3", at(f.markx[1]), 3, {}},
        {9, "-2", "-2", at(f.yref[1]), -2, {}},
        {15, "4", "4", at(f.relx[1]), 4, {}},
        {16, "6", "6", at(f.rely[1]), 6, {}},
        {4, "-2.5", "-2.5", at(f.histmin), -2.5, {}},
        {5, "3e2", "300", at(f.histmax), 300, {}},
        {12, "1e999", "1.7976931348623157E+308", at(f.xref[1]), DBL_MAX, {}},
        {2, "5120000", "5120000", at(f.centerfrac), 0.25, {call("frequency_center", "0.25")}},
        // The delay field shows the delay the module accepted.
        {8,
         "12345.4",
         "1000",
         at(f.trigdelay),
         1000,
         {call("trigger_delay", "12345"), call("trigger_delay_get")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " '" << c.typed << "'");
        instrument.clearLog();
        form->relabel = false;
        EXPECT_EQ(commit(c.index, c.typed), c.shown);
        EXPECT_EQ(c.stored(), c.value);
        EXPECT_EQ(instrument.log(), c.calls);
        EXPECT_TRUE(form->relabel); // every commit asks for new axes
    }
}

TEST_F(SettingsWindow, FieldsFeedOnlyTheSlotOfTheCurrentMode) {
    form->modeindex = 1;
    const zr::PerMode before = form->yperdiv;
    commit(10, "5");
    EXPECT_EQ(form->yperdiv, (zr::PerMode{before[0], 5, before[2]}));
}

TEST_F(SettingsWindow, ExternalClockFieldRebuildsTheListsButSetsTheClockOnlyWhenExternal) {
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
    EXPECT_EQ(instrument.log(), Log{call("frequency_center", "0.25")});

    commit(1, "10000000");
    instrument.clearLog();
    zr::selectEntry(form->clocksource, 2);
    EXPECT_EQ(form->clockfreq, 10000000);
    EXPECT_EQ(instrument.log(), (Log{call("clock_source", "2"), call("frequency_center", "0.5")}));
    EXPECT_EQ(form->sampfreq->itemText(0), " 10000000");
    commit(1, "5000000"); // while External, the field sets the clock
    EXPECT_EQ(form->clockfreq, 5000000);
    EXPECT_EQ(instrument.log().back(), call("frequency_center", "1"));
}

TEST_F(SettingsWindow, EnterOrLeavingAFieldCommitsIt) {
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
    EXPECT_EQ(instrument.log(), Log{call("trigger_adclevel", "255")});
    form->txt[7]->setText("20");
    QTest::keyClick(form->txt[7], Qt::Key_Return);
    EXPECT_EQ(form->txt[7]->text(), "7.15");
    EXPECT_EQ(instrument.log().back(), call("trigger_maglevel", "19"));
}

// ---- Lists -----------------------------------------------------------------

TEST_F(SettingsWindow, ListTextsFollowClockTypeAndFilterAndKeepTheirSelections) {
    zr::selectEntry(form->clocksource, 0);
    zr::selectEntry(form->aliasfilt, 1);
    zr::selectEntry(form->datatype, 1);
    const QString pm = QString::fromUtf8("\xC2\xB1");
    ASSERT_EQ(form->bandwidth->count(), 24);
    EXPECT_EQ(form->bandwidth->itemText(0), pm + "8MHz");
    zr::selectEntry(form->datatype, 0);
    EXPECT_EQ(form->bandwidth->itemText(1), "4,000,000.00");
    zr::selectEntry(form->bandwidth, 1);
    EXPECT_EQ(entries(form->sampfreq), (QStringList{" 20480000", " 10240000"}));
    zr::selectEntry(form->sampfreq, 1);
    zr::selectEntry(form->bandwidth, 3);
    EXPECT_EQ(entries(form->sampfreq), (QStringList{" 5120000", " 2560000"}));
    // Rebuilding the texts keeps both selections and runs no handler.
    const long before = zr::dispatchCount();
    instrument.clearLog();
    zr::selectEntry(form->aliasfilt, 0);
    EXPECT_EQ(zr::dispatchCount(), before + 1);
    EXPECT_EQ(form->bandwidth->itemText(0), "40MHz");
    EXPECT_EQ(form->bandwidth->currentIndex(), 3);
    EXPECT_EQ(form->sampfreq->currentIndex(), 1);
    EXPECT_EQ(instrument.log(), Log{call("input_alias_filter", "0")});
    zr::selectEntry(form->clocksource, 3); // 20 MHz locked
    EXPECT_EQ(form->clockfreq, 20000000);
    EXPECT_EQ(form->bandwidth->itemText(23), ".93");
}

// Lists and boxes whose handler only sends the choice (lists also keep their index).
TEST_F(SettingsWindow, ChoicesReachTheDriver) {
    const std::tuple<QComboBox*, int, const int16_t*, const char*> lists[] = {
        {form->coupling, 1, &form->couplingindex, "input_coupling"},
        {form->ground, 1, &form->groundindex, "input_float"},
        {form->signal, 0, &form->signalindex, "input_signal"},
        {form->trigsource, 3, &form->trigtypeindex, "trigger_type"},
        {form->trigslope, 1, &form->trigslopeindex, "trigger_slope"},
        {form->mastermode, 2, &form->masterindex, "clock_master"},
        {form->syncmode, 1, &form->syncindex, "clock_multi_sync"}};
    for (const auto& [list, index, stored, function] : lists) {
        instrument.clearLog();
        zr::selectEntry(list, index);
        EXPECT_EQ(instrument.log(), Log{call(function, std::to_string(index))});
        EXPECT_EQ(*stored, index) << function;
    }
    // A checked "Slow Clock" sends 0, the other boxes send 1.
    const std::tuple<QCheckBox*, const char*, int> boxes[] = {
        {form->triggen, "trigger_gen", 1},
        {form->appendstatus, "data_append_status", 1},
        {form->slowclock, "clock_dsp", 0}};
    for (const auto& [box, function, whenChecked] : boxes) {
        for (const bool checked : {true, false}) {
            instrument.clearLog();
            zr::setChecked(box, checked);
            EXPECT_EQ(instrument.log(),
                      Log{call(function, std::to_string(checked ? whenChecked : 1 - whenChecked))});
        }
    }
    instrument.clearLog();
    zr::clickButton(form->autozero);
    EXPECT_EQ(instrument.log(), Log{call("input_autozero")});
}

TEST_F(SettingsWindow, SampleRateAndBandwidthRestartAveraging) {
    zr::selectEntry(form->clocksource, 0);
    for (QComboBox* list : {form->sampfreq, form->bandwidth}) {
        form->avgcount = 5;
        form->relabel = false;
        instrument.clearLog();
        zr::selectEntry(list, 1);
        EXPECT_EQ(form->avgcount, 0);
        EXPECT_TRUE(form->relabel);
        EXPECT_EQ(instrument.log().front(),
                  list == form->sampfreq ? call("filter_decimate", "1") : call("filter_bw", "1"));
    }
    EXPECT_EQ(form->decimindex, 1);
    EXPECT_EQ(form->bwindex, 1);
}

TEST_F(SettingsWindow, DataTypeAndPrecisionReapplyTheDelay) {
    form->show();
    commit(8, "77");
    form->avgcount = 3;
    instrument.clearLog();
    zr::selectEntry(form->datatype, 1);
    zr::selectEntry(form->precision, 1);
    EXPECT_EQ(instrument.log(), (Log{call("data_type", "1"), call("trigger_delay", "77"),
                                     call("trigger_delay_get"), call("data_resolution", "1"),
                                     call("trigger_delay", "77"), call("trigger_delay_get")}));
    EXPECT_EQ(form->datatypeindex, 1);
    EXPECT_EQ(form->resolutionindex, 1);
    EXPECT_EQ(form->avgcount, 0);
    EXPECT_TRUE(form->Frame4->isHidden()); // resampling exists for baseband data only
    zr::selectEntry(form->datatype, 0);
    EXPECT_FALSE(form->Frame4->isHidden());
}

TEST_F(SettingsWindow, BlockSizeProgramsTheLengthAndRecomputesTheWindow) {
    form->windowindex = 2;
    for (const auto& [index, length] : {std::pair{5, 1024}, std::pair{0, 32}}) {
        form->avgcount = 4;
        instrument.clearLog();
        zr::selectEntry(form->blocksize, index);
        EXPECT_EQ(form->blocklen, length);
        EXPECT_EQ(instrument.log(), Log{call("data_blocksize", std::to_string(length))});
        EXPECT_NEAR(windowSum(), 6.32455532, 1e-4);
        EXPECT_EQ(form->avgcount, 0);
    }
}

// ---- Input -----------------------------------------------------------------

TEST_F(SettingsWindow, RangeCodeIsNineMinusTheIndexAndTheTrimReadoutFollows) {
    zr::selectEntry(form->trimdac, 1);
    for (const auto& [index, code] : {std::pair{9, 0}, std::pair{0, 9}, std::pair{5, 4}}) {
        instrument.clearLog();
        form->relabel = false;
        zr::selectEntry(form->range, index);
        EXPECT_EQ(form->rangeindex, index);
        EXPECT_EQ(instrument.log(),
                  (Log{call("input_range", std::to_string(code)), call("diag_reg_get", "3")}));
        EXPECT_TRUE(form->relabel);
    }
}

TEST_F(SettingsWindow, AutoRangeSelectsTheRangeTheModuleChose) {
    zr::selectEntry(form->trimdac, 1);
    instrument.statusSequence = {0, 0x0004, 0x0001};
    instrument.rangeGetAnswer = 4;
    instrument.clearLog();
    zr::clickButton(form->autorange);
    EXPECT_EQ(form->range->currentText(), "320mV, (0dBm)");
    EXPECT_EQ(form->rangeindex, 5);
    const std::string status = call("status_get");
    EXPECT_EQ(instrument.log(),
              (Log{call("input_range_auto", "0 0"), status, status, status, status,
                   call("input_range_get"), call("input_range", "4"), call("diag_reg_get", "3")}));
    EXPECT_TRUE(dialogs.shown().empty());
    // An answer outside the codes still selects a real entry.
    instrument.rangeGetAnswer = 12;
    zr::clickButton(form->autorange);
    EXPECT_EQ(form->range->currentIndex(), 0);
    const Log log = instrument.log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(Log(log.end() - 2, log.end()),
              (Log{call("input_range", "9"), call("diag_reg_get", "3")}));
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
    EXPECT_EQ(dialogs.shown()[0].text, "Auto Range did not finish; the range was left unchanged.");
    EXPECT_EQ(form->range->currentIndex(), 2);
    EXPECT_EQ(form->rangeindex, 2);
    EXPECT_TRUE(instrument.callsOf("zrq7010_input_range_get").empty());
    EXPECT_FALSE(form->ended());
}

// ---- Preset ----------------------------------------------------------------

// What the preset leaves that its driver traffic does not show.
TEST_F(SettingsWindow, PresetLeavesTheDocumentedState) {
    form->presetall();
    EXPECT_EQ(instrument.log(), zr::test::expectedPresetTraffic(kHandle));
    const QStringList texts = {"0",  "20480000", "0", "10",      "-1", "1", "0", "-59.83", "0", "0",
                               "10", "10",       "0", "1024000", "10", "0", "0", "1000000"};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(form->txt[i]->text(), texts[i]) << i;
    }
    EXPECT_EQ(form->xperdiv, (zr::PerMode{5e-6, 1024000, 0.1}));
    std::vector<float> taps(12, 0.0f);
    zr::fillfirkernel(taps);
    EXPECT_EQ(std::vector<float>(form->firkernel.begin(), form->firkernel.begin() + 11),
              std::vector<float>(taps.begin(), taps.begin() + 11));
    EXPECT_EQ(form->numavg, 10);
    EXPECT_EQ(form->histmin, -1);
    EXPECT_EQ(form->histmax, 1);
    EXPECT_TRUE(form->triggen->isChecked());
    EXPECT_TRUE(form->xautoflag->isChecked());
    EXPECT_FALSE(form->slowclock->isChecked());
    EXPECT_EQ(form->bandwidth->itemText(0), "8MHz");
    EXPECT_EQ(form->sampfreq->itemText(0), " 20480000");
    EXPECT_EQ(form->window->currentText(), "Gauss top");
    EXPECT_EQ(form->blocklen, 1024);
    EXPECT_NEAR(windowSum(), 6.32455532, 1e-4);
}

TEST_F(SettingsWindow, PresetAgainRunsEveryHandlerOnceSendsTheSameAndKeepsTheState) {
    form->presetall();
    const Log first = instrument.log();
    QStringList texts;
    for (auto* t : form->txt) {
        texts << t->text();
    }
    const zr::PerMode xperdiv = form->xperdiv;
    const zr::PerMode xref = form->xref;
    instrument.clearLog();
    QStringList trace;
    form->setHandlerTrace([&](const QString& name) { trace << name; });
    form->presetall();
    EXPECT_EQ(instrument.log(), first);
    QStringList again;
    for (auto* t : form->txt) {
        again << t->text();
    }
    EXPECT_EQ(again, texts);
    EXPECT_EQ(form->xperdiv, xperdiv);
    EXPECT_EQ(form->xref, xref);
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

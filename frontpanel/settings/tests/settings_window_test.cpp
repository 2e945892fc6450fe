// The settings handlers and the preset on a real window; the field rules and list texts
// themselves are checked by the plain-function tests, here that the handlers apply them.
#include "common/tests/window_fixture.h"
#include "settings/tests/preset_traffic.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <functional>
#include <numeric>

namespace {

using zr::test::call;
using zr::test::kHandle;
using zr::test::Log;

struct SettingsWindow : zr::test::WindowTest<> {
    void SetUp() override {
        WindowTest::SetUp();
        instrument.diag_reg(kHandle, 1, 1812); // what start-up writes before the preset runs
        instrument.clearLog();
    }
};

// The value in force lands where it belongs (a per-mode field in the current mode's slot only),
// the field shows it, and only instrument settings reach the driver.
TEST_F(SettingsWindow, FieldsStoreShowAndSendTheValueInForce) {
    instrument.triggerDelayAnswer = 1000;
    form->modeindex = 1;
    zr::MainForm& f = *form;
    const zr::PerMode yperdiv = f.yperdiv;
    const std::string delayGet = call("trigger_delay_get");
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
        {13, "0", "1E-10", at(f.xperdiv[1]), 1e-10, {}},
        {10, "5", "5", at(f.yperdiv[1]), 5, {}},
        {4, "-2.5", "-2.5", at(f.histmin), -2.5, {}},
        {2, "5120000", "5120000", at(f.centerfrac), 0.25, {call("frequency_center", "0.25")}},
        // The delay field shows the delay the module accepted.
        {8, "12345.4", "1000", at(f.trigdelay), 1000, {call("trigger_delay", "12345"), delayGet}},
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
    EXPECT_EQ(f.yperdiv, (zr::PerMode{yperdiv[0], 5, yperdiv[2]}));
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

// The list texts follow the clock and the filter; rebuilding them keeps both selections and runs
// no handler. The external clock field rebuilds them but sets the clock only while External.
TEST_F(SettingsWindow, ListTextsFollowTheClockAndTheFilter) {
    zr::selectEntry(form->clocksource, 1); // 20 MHz
    form->bandwidth->setItemText(1, "stale");
    commit(1, "10000000");
    EXPECT_EQ(form->clockfreq, 20000000); // not External: the clock stays
    EXPECT_EQ(form->bandwidth->itemText(1), "3,906,250.00");
    instrument.clearLog();
    zr::selectEntry(form->clocksource, 2);
    EXPECT_EQ(form->clockfreq, 10000000);
    EXPECT_EQ(instrument.log(), (Log{call("clock_source", "2"), call("frequency_center", "0")}));
    EXPECT_EQ(form->sampfreq->itemText(0), " 10000000");
    commit(1, "5000000"); // while External, the field sets the clock
    EXPECT_EQ(form->clockfreq, 5000000);

    zr::selectEntry(form->clocksource, 0);
    zr::selectEntry(form->aliasfilt, 1);
    zr::selectEntry(form->bandwidth, 3);
    zr::selectEntry(form->sampfreq, 1);
    EXPECT_EQ(form->sampfreq->itemText(0), " 5120000");
    const long before = form->dispatchCount();
    instrument.clearLog();
    zr::selectEntry(form->aliasfilt, 0);
    EXPECT_EQ(form->dispatchCount(), before + 1);
    EXPECT_EQ(form->bandwidth->itemText(0), "40MHz");
    EXPECT_EQ(form->bandwidth->currentIndex(), 3);
    EXPECT_EQ(form->sampfreq->currentIndex(), 1);
    EXPECT_EQ(instrument.log(), Log{call("input_alias_filter", "0")});
}

// Each choice sends its driver calls in order. The ones that change what a block holds restart
// averaging; they and the others that change the axes ask for new axes. A checked "Slow Clock"
// sends 0, data type and precision apply the delay again, a new range reads its trim register.
TEST_F(SettingsWindow, ChoicesReachTheDriver) {
    zr::selectEntry(form->clocksource, 0);
    zr::selectEntry(form->trimdac, 1);
    commit(8, "77");
    form->windowindex = 2;
    zr::MainForm& f = *form;
    const auto pick = [](QComboBox* list, int index) {
        return [list, index] { zr::selectEntry(list, index); };
    };
    const std::string delay = call("trigger_delay", "77");
    const std::string delayGet = call("trigger_delay_get");
    struct Case {
        std::function<void()> choose;
        Log calls;
        bool restartsAveraging;
        bool newAxes;
    };
    const Case cases[] = {
        {pick(f.trigsource, 3), {call("trigger_type", "3")}, false, false},
        {pick(f.mastermode, 2), {call("clock_master", "2")}, false, false},
        {[&f] { zr::setChecked(f.slowclock, true); }, {call("clock_dsp", "0")}, false, false},
        {[&f] { zr::setChecked(f.triggen, false); }, {call("trigger_gen", "0")}, false, false},
        {[&f] { zr::clickButton(f.autozero); }, {call("input_autozero")}, false, false},
        {pick(f.sampfreq, 1), {call("filter_decimate", "1")}, true, true},
        {pick(f.bandwidth, 1), {call("filter_bw", "1")}, true, true},
        {pick(f.datatype, 1), {call("data_type", "1"), delay, delayGet}, true, true},
        {pick(f.precision, 1), {call("data_resolution", "1"), delay, delayGet}, false, true},
        {pick(f.blocksize, 0), {call("data_blocksize", "32")}, true, true},
        {pick(f.range, 5), {call("input_range", "4"), call("diag_reg_get", "3")}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.calls.front());
        form->avgcount = 5;
        form->relabel = false;
        instrument.clearLog();
        c.choose();
        EXPECT_EQ(instrument.log(), c.calls);
        EXPECT_EQ(form->avgcount == 0, c.restartsAveraging);
        EXPECT_EQ(form->relabel, c.newAxes);
    }
    EXPECT_EQ(form->trigtypeindex, 3);
    EXPECT_EQ(form->blocklen, 32);
    EXPECT_NEAR(std::accumulate(form->windowbuf.begin(), form->windowbuf.begin() + 32, 0.0),
                6.32455532, 1e-4);
    EXPECT_TRUE(form->Frame4->isHidden()); // resampling exists for baseband data only
    zr::selectEntry(form->datatype, 0);
    EXPECT_FALSE(form->Frame4->isHidden());
}

// Auto Range selects the range the module chose; one that never finishes is reported after the
// wait and keeps the range.
TEST_F(SettingsWindow, AutoRangeSelectsTheRangeTheModuleChoseOrGivesUp) {
    zr::selectEntry(form->range, 2);
    instrument.statusDefault = 0x0004; // armed, never idle
    form->autorangeTimeout = std::chrono::milliseconds(30);
    const auto start = std::chrono::steady_clock::now();
    zr::clickButton(form->autorange);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "Auto Range did not finish; the range was left unchanged.");
    EXPECT_EQ(form->rangeindex, 2);
    EXPECT_TRUE(instrument.callsOf("zrq7010_input_range_get").empty());
    EXPECT_FALSE(form->ended());

    instrument.statusDefault = static_cast<int16_t>(0x8000); // idle after the sequence
    instrument.statusSequence = {0, 0x0004, 0x0001};
    instrument.rangeGetAnswer = 4;
    instrument.clearLog();
    zr::clickButton(form->autorange);
    EXPECT_EQ(form->range->currentText(), "320mV, (0dBm)");
    const std::string status = call("status_get");
    EXPECT_EQ(instrument.log(), (Log{call("input_range_auto", "0 0"), status, status, status,
                                     status, call("input_range_get"), call("input_range", "4")}));
    EXPECT_EQ(dialogs.shown().size(), 1u);
}

// The preset, run again, runs every handler once, sends the same traffic as the first time
// (checked after the hard reset) and keeps the state.
TEST_F(SettingsWindow, PresetTrafficIsTheSameEachTime) {
    form->presetall();
    const zr::PerMode xperdiv = form->xperdiv;
    instrument.clearLog();
    QStringList trace;
    form->setHandlerTrace([&](const QString& name) { trace << name; });
    form->presetall();
    EXPECT_EQ(instrument.log(), zr::test::expectedPresetTraffic(kHandle));
    EXPECT_EQ(form->xperdiv, xperdiv);
    for (const char* name : {"range_click", "clocksource_Click", "measmode_Click", "datatype_Click",
                             "blocksize_click", "calmode_Click"}) {
        EXPECT_EQ(trace.count(name), 1) << name;
    }
    EXPECT_EQ(trace.count("xpos_Click"), 2);    // from the mode change and from its own step
    EXPECT_EQ(trace.count("triggen_Click"), 0); // called directly, not through the box
}

} // namespace

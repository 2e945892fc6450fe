// The measurement loop, its buttons, the modes, the graph and the status line in the real window,
// against the recording fake instrument. Handlers "inside the yield" are queued calls that the
// loop's one processEvents per pass dispatches.
#include "common/tests/window_fixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <functional>
#include <map>
#include <numeric>

namespace {

enum Button { kStart, kPause, kContinue, kSingle };
using zr::test::Log;

struct LoopWindow : zr::test::WindowTest<> {
    std::map<long, std::function<void()>> inYield; // by pass number
    std::vector<long> observed;                    // passes seen by the observer, in order

    void SetUp() override {
        WindowTest::SetUp();
        form->presetall();
        form->setPassObserver([this](long passes) {
            observed.push_back(passes);
            post(passes + 1);
        });
        instrument.clearLog();
    }
    // Runs `action` inside the yield of pass `pass` (pass 1: the next loop's first).
    void during(long pass, std::function<void()> action) {
        inYield[pass] = std::move(action);
        if (pass == 1) {
            post(pass);
        }
    }
    void post(long pass) {
        if (const auto it = inYield.find(pass); it != inYield.end()) {
            QMetaObject::invokeMethod(form.get(), it->second, Qt::QueuedConnection);
            inYield.erase(it);
        }
    }
    int reads() const { return static_cast<int>(instrument.callsOf("zrq7010_read").size()); }
    int starts() const { return static_cast<int>(instrument.callsOf("zrq7010_meas_start").size()); }
    void click(Button button) { zr::clickButton(form->meascontrol[button]); }
    // Time domain without resampling or automatic x axis, delivering `block`.
    void timeDomain(std::vector<float> block) {
        form->xautoflag->setChecked(false);
        zr::selectEntry(form->measmode, 0);
        zr::clickOption(form->resampmode[0]);
        instrument.blockData = std::move(block);
    }
};

TEST_F(LoopWindow, ASettingChangedInTheYieldIsRedrawnAtOnce) {
    form->relabel = false;
    during(1, [this] { zr::selectEntry(form->ypos, 1); }); // sets relabel
    const long draws = form->drawCount();
    click(kSingle);
    EXPECT_EQ(reads(), 1);
    EXPECT_EQ(form->drawCount(), draws + 2); // the block, then the new axes after the yield
    EXPECT_FALSE(form->relabel);
    EXPECT_TRUE(form->lablegraph[2]->text().startsWith("Y: Center="));
}

// Single, Continue and a change of averaging kind keep the running average; Start and a new
// window (through the block-size handler) restart it.
TEST_F(LoopWindow, AverageRestartsOnlyOnStartAndANewWindow) {
    zr::selectEntry(form->averaging, 1);
    form->numavg = 50;
    click(kSingle);
    click(kSingle);
    zr::selectEntry(form->averaging, 2);
    during(1, [this] { click(kPause); });
    click(kContinue);
    EXPECT_EQ(form->avgcount, 3);
    EXPECT_EQ(starts(), 2 + 2); // two re-arms, then Continue and its re-arm
    during(1, [this] { click(kPause); });
    click(kStart);
    EXPECT_EQ(form->avgcount, 1);
    zr::selectEntry(form->window, 1);
    EXPECT_EQ(form->avgcount, 0);
}

// "Start" with handlers pressed inside the yield of given passes. A handler that enters the loop
// while it runs (Single, Start, the reset's Start) returns within its own pass: there is only
// ever one loop. A close ends the loop right after its yield.
TEST_F(LoopWindow, HandlersInsideTheYieldNeverNestLoops) {
    enum Action { Pause, Single, Start, Reset, Close };
    struct Case {
        const char* what;
        std::vector<std::pair<long, Action>> actions;
        int reads;
        std::vector<long> observed;
    };
    const Case cases[] = {
        {"pause: the block read before is still drawn", {{3, Pause}}, 3, {1, 2, 3}},
        {"single ends the running loop after its pass", {{2, Single}}, 2, {1, 2}},
        {"start again", {{3, Start}, {6, Pause}}, 6, {1, 2, 3, 4, 5, 6}},
        // The reset stops, presets and starts: pass 2 goes straight on to a fresh pass.
        {"reset", {{2, Reset}, {5, Pause}}, 5, {1, 3, 4, 5}},
        {"close", {{3, Close}}, 3, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form.reset();
        SetUp();
        observed.clear();
        ends = 0;
        form->relabel = false;
        std::vector<long> returnedIn;
        for (const auto& [pass, action] : c.actions) {
            during(pass, [this, &returnedIn, action = action] {
                const long before = form->passCount();
                if (action == Reset)
                    form->resetmenu_Click(0);
                else if (action == Close)
                    form->close();
                else
                    click(action == Pause ? kPause : action == Single ? kSingle : kStart);
                returnedIn.push_back(form->passCount() - before);
            });
        }
        const bool resets = c.actions.front().second == Reset;
        const bool closes = c.actions.back().second == Close;
        const long draws = form->drawCount();
        click(kStart);
        EXPECT_EQ(reads(), c.reads);
        if (!resets) { // the reset's preset asks for new axes, which adds redraws
            EXPECT_EQ(form->drawCount(), draws + c.reads);
        }
        EXPECT_TRUE(form->stopflag);
        EXPECT_EQ(returnedIn, std::vector<long>(c.actions.size(), 0));
        EXPECT_EQ(observed, c.observed);
        EXPECT_EQ(instrument.callsOf("zrq7010_reset").size(), resets ? 1u : 0u);
        EXPECT_TRUE(instrument.callsOf("zrq7010_diag_poke").empty()); // a soft reset
        EXPECT_EQ(ends, closes ? 1 : 0);
        EXPECT_EQ(instrument.callsOf("zrq7010_close").size(), closes ? 1u : 0u);
    }
}

// One "Single" on a real session, both indicators shown before it: one pass, one read of the
// block size, the re-arm after it ("Single" itself starts nothing). The diagnostics read-out
// refreshes on every pass, even one whose read fails.
TEST_F(LoopWindow, IndicatorsAndDiagnosticsFollowEachRead) {
    struct Case {
        const char* what;
        int32_t read, start;
        int16_t overload;
        bool drawn, overloadShown, badShown;
        int starts;
    };
    const Case cases[] = {
        {"block with overload", 0, 0, 1, true, true, false, 1},
        {"block, re-arm refused", 0, 7, 0, true, false, true, 1},
        {"read failed: nothing changes", -1074003951, 0, 0, false, true, true, 0},
    };
    form->diagshown = true;
    instrument.diagRegAnswers[4] = -17;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        instrument.clearLog();
        form->adc1offset->clear();
        instrument.readStatuses = {c.read};
        instrument.measStartStatuses = {c.start};
        instrument.overload = c.overload;
        form->overload->setVisible(true);
        form->badstate->setVisible(true);
        form->relabel = false; // no settings change: only a block draws
        const long draws = form->drawCount();
        click(kSingle);
        EXPECT_TRUE(form->stopflag);
        EXPECT_EQ(instrument.callsOf("zrq7010_read"), Log{"zrq7010_read 4097 1024"});
        EXPECT_EQ(starts(), c.starts);
        EXPECT_EQ(form->drawCount(), draws + (c.drawn ? 1 : 0));
        EXPECT_EQ(!form->overload->isHidden(), c.overloadShown);
        EXPECT_EQ(!form->badstate->isHidden(), c.badShown);
        EXPECT_EQ(instrument.callsOf("zrq7010_diag_reg_get").size(), 1u);
        EXPECT_EQ(form->adc1offset->text(), "-17");
    }
}

// Simulated mode makes its block from the form's settings, the centre frequency from its field's
// text (beyond the band only the noise is left), and shows no bad setup without a session.
TEST_F(LoopWindow, SimulatedModeFollowsTheFormAndNeverReads) {
    form->relabel = false;
    form->instr = 0;
    instrument.measStartStatusDefault = 7;
    form->badstate->setVisible(true);
    zr::selectEntry(form->trigsource, 0); // "Software": never fires in simulation
    during(4, [this] { click(kPause); });
    const long draws = form->drawCount();
    click(kStart);
    EXPECT_EQ(form->drawCount(), draws);
    EXPECT_EQ(starts(), 1 + 4); // "Start" itself, then one re-arm per pass
    EXPECT_TRUE(form->badstate->isHidden());
    timeDomain({});
    zr::selectEntry(form->range, 0);      // 10.24 V
    zr::selectEntry(form->trigsource, 1); // "Input": every block starts at phase 0
    click(kSingle);
    EXPECT_NEAR(form->dispdata[0], 1.001536, 0.003584 + 1e-6);
    form->txt[2]->setText("15000000");
    click(kSingle);
    EXPECT_LE(std::abs(form->dispdata[0]), 0.003584f + 1e-6f);
    EXPECT_EQ(reads(), 0);
}

TEST_F(LoopWindow, AMissingLibraryFunctionEndsTheProgramWithoutAStuckLoop) {
    instrument.missingFunctions = {"zrq7010_read"};
    click(kSingle);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(form->stopflag);
}

// Each mode keeps its own display fields and positions; the marker field stays as it is.
TEST_F(LoopWindow, ModeChangeRestoresEachModesFieldsAndLeavesTheMarkerField) {
    form->xautoflag->setChecked(false);
    form->txt[0]->setText("123");
    zr::selectEntry(form->measmode, 1);
    commit(9, "-20");
    zr::selectEntry(form->ypos, 1);
    commit(16, "-3");
    zr::selectEntry(form->measmode, 2);
    EXPECT_EQ(form->ypos->currentIndex(), 2); // histogram preset: bottom
    EXPECT_EQ(form->txt[10]->text(), "0.1");
    commit(9, "7");
    form->avgcount = 4;
    form->relabel = false;
    zr::selectEntry(form->measmode, 1);
    EXPECT_EQ(form->txt[9]->text(), "-20");
    EXPECT_EQ(form->txt[16]->text(), "-3");
    EXPECT_EQ(form->ypos->currentIndex(), 1);
    EXPECT_EQ(form->avgcount, 0);
    EXPECT_TRUE(form->relabel);
    EXPECT_EQ(form->txt[0]->text(), "123");
    // The same mode again reloads what was typed but not applied.
    form->txt[9]->setText("typed but not applied");
    zr::selectEntry(form->measmode, 1);
    EXPECT_EQ(form->txt[9]->text(), "-20");
    // "X-Auto on change" runs with the change: baseband spectrum, 1024 points at 20.48 MHz.
    EXPECT_EQ(commit(13, "2000000"), "2000000");
    form->xautoflag->setChecked(true);
    zr::selectEntry(form->measmode, 1);
    EXPECT_EQ(form->txt[13]->text(), "1024000");
}

// The read-outs reach the labels at most once per display refresh while the loop runs; Copy
// Caption still copies those of the latest block, and the loop's end shows them.
TEST_F(LoopWindow, CopyCaptionWhileRunningGivesTheLatestReadOuts) {
    zr::selectEntry(form->averaging, 1);
    commit(3, "100");
    timeDomain(std::vector<float>(2048, 0.25f));
    QString copied;
    during(6, [this, &copied] {
        form->editmenu_Click(1);
        copied = QGuiApplication::clipboard()->text();
        form->stopflag = true;
    });
    click(kStart);
    EXPECT_TRUE(copied.contains("Averages =  6\r")) << copied.toStdString();
    EXPECT_EQ(form->lablegraph[4]->text(), "Averages =  6");
}

TEST_F(LoopWindow, HistogramCountsTheBlockAndAutoLimitsCoverIt) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 2);
    zr::selectEntry(form->histbins, 0); // 16 bins
    instrument.blockData.assign(1024, 0.0f);
    instrument.blockData[0] = -0.8f;
    instrument.blockData[1] = 0.9f;
    click(kSingle);
    EXPECT_EQ(form->npoints, 16);
    EXPECT_EQ(std::accumulate(form->dispdata.begin(), form->dispdata.begin() + 16, 0.0f), 1024.0f);
    zr::clickButton(form->autohist);
    EXPECT_EQ(form->txt[4]->text(), "-0.8");
    EXPECT_EQ(form->txt[5]->text(), "1.2");
}

TEST_F(LoopWindow, YAutoscaleGoesThroughTheFields) {
    std::vector<float> block(1024, 0.0f);
    block[0] = -1.0f;
    block[1] = 1.0f;
    timeDomain(block);
    click(kSingle);
    zr::selectEntry(form->ypos, 1); // centre
    zr::clickButton(form->yauto);
    EXPECT_EQ(form->txt[9]->text(), "0.125");
    EXPECT_DOUBLE_EQ(form->yperdiv[0], 0.25);
}

TEST_F(LoopWindow, ResampledBlockKeepsItsSpacingAcrossARelabel) {
    timeDomain(std::vector<float>(1024, 0.1f));
    zr::clickOption(form->resampmode[1]); // Gaussian
    zr::selectEntry(form->resamp, 3);     // 8x
    click(kSingle);
    form->relabel = true; // a redraw before the next block
    form->drawgraph();
    EXPECT_EQ(form->npoints, 8085);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / 20480000.0 / 8.0);
}

// The status line as the timer shows it while the loop runs, pauses and takes a single block,
// and the resolution bandwidth of the preset's spectrum (1024 points at 20.48 MHz, "Gauss top").
TEST_F(LoopWindow, StatusLineShowsRunStateBlockRateAndSpectrumRbw) {
    QStringList seen;
    form->setPassObserver([this, &seen](long passes) {
        form->refreshStatus();
        seen << form->runstate->text();
        post(passes + 1);
    });
    during(3, [this] { click(kPause); });
    click(kStart);
    form->refreshStatus();
    EXPECT_EQ(seen, QStringList({"Running", "Running", "Running"}));
    EXPECT_EQ(form->runstate->text(), "Paused");
    EXPECT_EQ(form->blockrate->text(), "0.0 blocks/s");
    click(kSingle);
    EXPECT_EQ(seen.last(), "Single");
    EXPECT_EQ(form->blockrate->text(), ""); // running, no second measured yet
    // The status timer shows the idle loop by itself.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return form->runstate->text() == "Single" && form->blockrate->text() != ""; },
        2000));
    EXPECT_EQ(form->rbw->text(), "RBW 44.307 kHz"); // 2.215349684 * 20480000 / 1024
    zr::selectEntry(form->window, 1);               // "Hann": 1.5 lines
    form->refreshStatus();
    EXPECT_EQ(form->rbw->text(), "RBW 30.000 kHz");
    zr::selectEntry(form->measmode, 0);
    form->refreshStatus();
    EXPECT_EQ(form->rbw->text(), "");
}

} // namespace

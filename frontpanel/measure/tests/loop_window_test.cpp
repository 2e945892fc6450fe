// The measurement loop, its buttons, the measurement modes and the graph in the real window,
// against the recording fake instrument. Handlers that must run "inside the yield" are posted as
// queued calls, which the loop's one processEvents per pass dispatches.
#include "display/graph.h"
#include "driver/tests/fake_instrument.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <numeric>

namespace {

constexpr int32_t kHandle = 4097;

struct LoopWindow : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;
    int ends = 0;
    std::map<long, std::function<void()>> inYield; // by pass number
    std::vector<long> observed;                    // passes seen by the observer, in order

    void SetUp() override {
        instrument.initDefault.handle = kHandle;
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([this](int) { ++ends; });
        form->instr = kHandle;
        form->presetall();
        form->setPassObserver([this](long passes) {
            observed.push_back(passes);
            post(passes + 1);
        });
        instrument.clearLog();
    }
    // Schedules `action` to run inside the yield of pass `pass` (pass 1: the next loop's first).
    void during(long pass, std::function<void()> action) {
        inYield[pass] = std::move(action);
        if (pass == 1) {
            post(pass);
        }
    }
    void post(long pass) {
        const auto it = inYield.find(pass);
        if (it == inYield.end()) {
            return;
        }
        std::function<void()> action = it->second;
        inYield.erase(it);
        QMetaObject::invokeMethod(
            form.get(), [action] { action(); }, Qt::QueuedConnection);
    }
    int reads() const { return static_cast<int>(instrument.callsOf("zrq7010_read").size()); }
    int starts() const { return static_cast<int>(instrument.callsOf("zrq7010_meas_start").size()); }
    void click(int button) { zr::clickButton(form->meascontrol[button]); }
    void setField(int index, const QString& text) {
        form->txt[index]->setText(text);
        form->txt_lostfocus(index);
    }
};

// ---------------------------------------------------------------------------
// Loop control

TEST_F(LoopWindow, SingleWhileIdleRunsExactlyOnePass) {
    const long draws = form->drawCount();
    click(3);
    EXPECT_EQ(reads(), 1);
    EXPECT_EQ(form->drawCount(), draws + 1);
    EXPECT_EQ(form->passCount(), 1);
    EXPECT_TRUE(form->stopflag);
    EXPECT_FALSE(form->singleflag);
    // The re-arm follows the read; "Single" itself starts nothing before it.
    const auto& log = instrument.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "zrq7010_read 4097 1024");
    EXPECT_EQ(log[1], "zrq7010_meas_start 4097");
}

TEST_F(LoopWindow, ASettingChangedInTheYieldIsRedrawnAtOnce) {
    form->relabel = false;
    during(1, [this] { zr::selectEntry(form->ypos, 1); }); // sets relabel
    const long draws = form->drawCount();
    click(3);
    EXPECT_EQ(reads(), 1);
    EXPECT_EQ(form->drawCount(), draws + 2); // the block, then the new axes after the yield
    EXPECT_FALSE(form->relabel);
    EXPECT_TRUE(form->lablegraph[2]->text().startsWith("Y: Center="));
}

TEST_F(LoopWindow, ContinueAndSingleKeepTheAverageStartRestartsIt) {
    zr::selectEntry(form->averaging, 1);
    form->numavg = 50;
    click(3);
    click(3);
    EXPECT_EQ(form->avgcount, 2);
    during(1, [this] { click(1); });
    click(2); // Continue
    EXPECT_EQ(form->avgcount, 3);
    EXPECT_EQ(instrument.callsOf("zrq7010_meas_start").size(), 2u + 2u); // two re-arms, then
                                                                         // Continue + re-arm
    during(1, [this] { click(1); });
    click(0); // Start
    EXPECT_EQ(form->avgcount, 1);
}

TEST_F(LoopWindow, PauseWhileRunningEndsAfterTheCurrentPass) {
    during(3, [this] { click(1); });
    const long draws = form->drawCount();
    click(0);
    EXPECT_EQ(reads(), 3);
    EXPECT_EQ(form->drawCount(), draws + 3); // the block read before the pause is still drawn
    EXPECT_TRUE(form->stopflag);
    EXPECT_EQ(observed, (std::vector<long>{1, 2, 3}));
}

TEST_F(LoopWindow, SingleWhileRunningEndsTheLoopAfterItsPass) {
    bool returned = false;
    long passAtReturn = 0;
    during(2, [&] {
        click(3);
        returned = true;
        passAtReturn = form->passCount();
    });
    click(0);
    EXPECT_TRUE(returned);
    EXPECT_EQ(passAtReturn, 2); // the handler's own measloop call returned at once
    EXPECT_EQ(reads(), 2);
}

TEST_F(LoopWindow, StartTwiceRunsOneLoopAndRestartsAveraging) {
    zr::selectEntry(form->averaging, 1); // exponential
    form->numavg = 100;
    double countBeforeRestart = -1;
    long passAtReturn = 0;
    during(3, [&] {
        countBeforeRestart = form->avgcount;
        click(0);
        passAtReturn = form->passCount();
        EXPECT_EQ(form->avgcount, 0);
    });
    double countAfterRestart = -1;
    during(4, [&] { countAfterRestart = form->avgcount; });
    during(6, [this] { click(1); });
    click(0);
    EXPECT_EQ(countBeforeRestart, 3);
    EXPECT_EQ(passAtReturn, 3); // no second loop: the inner call returned within the same pass
    EXPECT_EQ(countAfterRestart, 1);
    EXPECT_EQ(reads(), 6);
    EXPECT_EQ(observed, (std::vector<long>{1, 2, 3, 4, 5, 6}));
}

TEST_F(LoopWindow, StatusTwoRearmsAndDrawsNothing) {
    form->relabel = false; // no settings change: only a block would draw
    instrument.readStatuses = {2};
    instrument.measStartStatuses = {-5};
    const long draws = form->drawCount();
    click(3);
    EXPECT_EQ(reads(), 1);
    EXPECT_EQ(starts(), 1);
    EXPECT_EQ(form->drawCount(), draws);
    EXPECT_FALSE(form->badstate->isHidden()); // the start answered non-zero on a real session
    instrument.readStatuses = {2};
    click(3);
    EXPECT_TRUE(form->badstate->isHidden());
}

TEST_F(LoopWindow, OtherStatusDrawsNothingAndKeepsTheIndicators) {
    form->relabel = false; // no settings change: only a block would draw
    form->overload->setVisible(true);
    form->badstate->setVisible(true);
    instrument.readStatuses = {-1074003951};
    const long draws = form->drawCount();
    click(3);
    EXPECT_EQ(reads(), 1);
    EXPECT_EQ(starts(), 0);
    EXPECT_EQ(form->drawCount(), draws);
    EXPECT_FALSE(form->overload->isHidden());
    EXPECT_FALSE(form->badstate->isHidden());
}

TEST_F(LoopWindow, OverloadShowsForItsBlockOnly) {
    instrument.overload = 1;
    click(3);
    EXPECT_FALSE(form->overload->isHidden());
    instrument.overload = 0;
    click(3);
    EXPECT_TRUE(form->overload->isHidden());
}

TEST_F(LoopWindow, BadSetupOnlyWithARealSession) {
    instrument.measStartStatuses = {7};
    click(3);
    EXPECT_FALSE(form->badstate->isHidden());
    instrument.measStartStatuses = {0};
    click(3);
    EXPECT_TRUE(form->badstate->isHidden());

    // Simulated mode: the start is still called with handle 0; its answer is not shown.
    form->instr = 0;
    zr::selectEntry(form->trigsource, 4); // a trigger the simulation can answer
    instrument.clearLog();
    instrument.measStartStatuses = {7};
    click(3);
    EXPECT_EQ(instrument.callsOf("zrq7010_meas_start"),
              std::vector<std::string>{"zrq7010_meas_start 0"});
    EXPECT_EQ(reads(), 0);
    EXPECT_TRUE(form->badstate->isHidden());
}

TEST_F(LoopWindow, SimulatedSoftwareTriggerRearmsEveryPassAndNeverDraws) {
    form->relabel = false; // no settings change: only a block would draw
    form->instr = 0;
    zr::selectEntry(form->trigsource, 0); // "Software": never fires in simulation
    during(4, [this] { click(1); });
    const long draws = form->drawCount();
    click(0);
    EXPECT_EQ(form->drawCount(), draws);
    EXPECT_EQ(starts(), 1 + 4); // "Start" itself, then one re-arm per pass
}

TEST_F(LoopWindow, DiagnosticsReadOutRefreshesEvenWhileReadsFail) {
    form->diagshown = true;
    instrument.diagRegAnswers[4] = -17;
    instrument.readStatuses = {-3};
    click(3);
    EXPECT_EQ(instrument.callsOf("zrq7010_diag_reg_get").size(), 1u);
    EXPECT_EQ(form->adc1offset->text(), "-17");
}

TEST_F(LoopWindow, CloseInsideTheYieldEndsTheLoop) {
    during(3, [this] { form->close(); });
    const long draws = form->drawCount();
    form->relabel = false;
    click(0);
    EXPECT_EQ(reads(), 3);
    EXPECT_EQ(form->drawCount(), draws + 3);
    EXPECT_EQ(observed, (std::vector<long>{1, 2})); // pass 3 ended right after its yield
    EXPECT_TRUE(form->unloading);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(instrument.callsOf("zrq7010_close"), std::vector<std::string>{"zrq7010_close 4097"});
}

TEST_F(LoopWindow, ResetInsideTheYieldLeavesExactlyOneLoop) {
    long passAtReturn = 0;
    during(2, [&] {
        form->resetmenu_Click(0); // stops, presets, then "Start"
        passAtReturn = form->passCount();
    });
    during(5, [this] { click(1); });
    click(0);
    EXPECT_EQ(passAtReturn, 2); // the reset returned into the running loop's yield
    EXPECT_TRUE(form->stopflag);
    EXPECT_EQ(reads(), 5); // one pass per read: no nested or extra pass
    // Pass 2 went straight on to a fresh pass; "Pause" in pass 5 ended the one loop.
    EXPECT_EQ(observed, (std::vector<long>{1, 3, 4, 5}));
    EXPECT_EQ(instrument.callsOf("zrq7010_reset").size(), 1u);
}

TEST_F(LoopWindow, RepeatedResetsDoNotNestLoops) {
    for (long pass = 2; pass <= 40; pass += 2) {
        during(pass, [this] { form->resetmenu_Click(0); });
    }
    during(45, [this] { click(1); });
    click(0);
    EXPECT_EQ(reads(), 45);
    EXPECT_TRUE(form->stopflag);
}

TEST_F(LoopWindow, AMissingLibraryFunctionEndsTheProgramWithoutAStuckLoop) {
    // The loop is entered from a button: the failure ends the program through the handler guard.
    instrument.missingFunctions = {"zrq7010_read"};
    click(3);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(form->stopflag);
}

TEST_F(LoopWindow, SimulatedBlockFollowsTheFormSettings) {
    form->instr = 0;
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 0);
    zr::clickOption(form->resampmode[0]);
    zr::selectEntry(form->range, 0);      // 10.24 V
    zr::selectEntry(form->trigsource, 1); // "Input": every block starts at phase 0
    click(3);
    ASSERT_EQ(form->blocklen, 1024);
    double worst = 0;
    for (int n = 0; n < 1024; ++n) {
        const double expected = std::cos(2 * M_PI * 20000.0 * n / 20480000.0) + 0.001536;
        worst = std::max(worst, std::abs(form->dispdata[n] - expected));
    }
    EXPECT_LE(worst, 0.003584 + 1e-6); // the noise: 0.0007 * 10.24 * (r - 0.5)
    EXPECT_GT(worst, 0.0005);          // ... which is there

    // The centre frequency is read from its field's text: beyond the band it removes the tone.
    form->txt[2]->setText("15000000");
    click(3);
    float largest = 0;
    for (int n = 0; n < 1024; ++n) {
        largest = std::max(largest, std::abs(form->dispdata[n]));
    }
    EXPECT_LE(largest, 0.003584f + 1e-6f);
    EXPECT_TRUE(instrument.callsOf("zrq7010_read").empty());
}

// ---------------------------------------------------------------------------
// Modes and averaging

TEST_F(LoopWindow, ModeChangeRestoresEachModesFieldsAndLeavesTheMarkerField) {
    form->xautoflag->setChecked(false);
    form->txt[0]->setText("123");
    zr::selectEntry(form->measmode, 1);
    setField(9, "-20");
    setField(10, "5");
    zr::selectEntry(form->ypos, 1);
    setField(15, "1000");
    setField(16, "-3");
    const QStringList spectrumFields = {
        form->txt[9]->text(),  form->txt[10]->text(), form->txt[11]->text(),
        form->txt[12]->text(), form->txt[13]->text(), form->txt[14]->text(),
        form->txt[15]->text(), form->txt[16]->text(), form->txt[17]->text()};
    EXPECT_EQ(spectrumFields[0], "-20");

    zr::selectEntry(form->measmode, 2);
    EXPECT_EQ(form->modeindex, 2);
    EXPECT_EQ(form->lablyunits->text(), "Counts");
    EXPECT_EQ(form->lablxunits->text(), "Volts");
    EXPECT_EQ(form->ypos->currentIndex(), 2); // histogram preset: bottom
    EXPECT_EQ(form->xpos->currentIndex(), 1);
    EXPECT_EQ(form->txt[10]->text(), "0.1");
    setField(9, "7");

    form->avgcount = 4;
    zr::selectEntry(form->measmode, 1);
    const QStringList restored = {
        form->txt[9]->text(),  form->txt[10]->text(), form->txt[11]->text(),
        form->txt[12]->text(), form->txt[13]->text(), form->txt[14]->text(),
        form->txt[15]->text(), form->txt[16]->text(), form->txt[17]->text()};
    EXPECT_EQ(restored, spectrumFields);
    EXPECT_EQ(form->ypos->currentIndex(), 1);
    EXPECT_EQ(form->yposindex, 1);
    EXPECT_EQ(form->lablyunits->text(), "dBm");
    EXPECT_EQ(form->avgcount, 0);
    EXPECT_TRUE(form->relabel);
    EXPECT_EQ(form->txt[0]->text(), "123");
    EXPECT_TRUE(form->meascont[1]->isVisibleTo(form.get()) ||
                !form->meascont[0]->isVisibleTo(form.get()));

    zr::selectEntry(form->measmode, 2);
    EXPECT_EQ(form->txt[9]->text(), "7");
}

TEST_F(LoopWindow, SameModeAgainReloadsAndRestartsAveraging) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 0);
    form->txt[9]->setText("typed but not applied");
    form->avgcount = 9;
    zr::selectEntry(form->measmode, 0);
    EXPECT_EQ(form->txt[9]->text(), "0");
    EXPECT_EQ(form->avgcount, 0);
}

TEST_F(LoopWindow, XAutoOnChangeRunsWithTheModeChange) {
    form->xautoflag->setChecked(true);
    zr::selectEntry(form->measmode, 1); // baseband spectrum, 1024 points at 20.48 MHz
    EXPECT_DOUBLE_EQ(form->xperdiv[1], 1024000.0);
    EXPECT_EQ(form->txt[13]->text(), "1024000");
}

TEST_F(LoopWindow, AveragingKindChangeKeepsTheRunningAverage) {
    zr::selectEntry(form->averaging, 1);
    form->numavg = 10;
    instrument.blockData.assign(2048, 0.25f);
    zr::selectEntry(form->measmode, 0);
    click(3);
    click(3);
    EXPECT_EQ(form->avgcount, 2);
    zr::selectEntry(form->averaging, 2);
    EXPECT_EQ(form->avgmode, 2);
    EXPECT_EQ(form->avgcount, 2);
    click(3);
    EXPECT_EQ(form->avgcount, 3);
    EXPECT_EQ(form->lablegraph[4]->text(), "Averages =  3");
}

TEST_F(LoopWindow, WindowChangeRestartsAveragingThroughTheBlockSize) {
    form->avgcount = 6;
    zr::selectEntry(form->window, 1);
    EXPECT_EQ(form->windowindex, 1);
    EXPECT_EQ(form->avgcount, 0);
}

// ---------------------------------------------------------------------------
// Histogram

TEST_F(LoopWindow, HistogramCountsTheBlockAndAutoLimitsCoverIt) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 2);
    zr::selectEntry(form->histbins, 0); // 16 bins
    // Before any histogram: nothing changes.
    const QString before = form->txt[4]->text();
    zr::clickButton(form->autohist);
    EXPECT_EQ(form->txt[4]->text(), before);

    std::vector<float> block(1024);
    for (int i = 0; i < 1024; ++i) {
        block[i] = -0.8f + 1.7f * static_cast<float>(i) / 1023.0f; // -0.8 .. 0.9
    }
    instrument.blockData = block;
    click(3);
    EXPECT_FLOAT_EQ(static_cast<float>(form->datamin), -0.8f);
    EXPECT_FLOAT_EQ(static_cast<float>(form->datamax), 0.9f);
    EXPECT_EQ(form->npoints, 16);
    const float total = std::accumulate(form->histdata.begin(), form->histdata.begin() + 16, 0.0f);
    EXPECT_EQ(total, 1024.0f);
    EXPECT_EQ(form->dispdata[0], form->histdata[0]);

    zr::clickButton(form->autohist);
    EXPECT_NEAR(form->histmin, -0.8, 1e-12);
    EXPECT_NEAR(form->histmax, 1.2, 1e-12);
    EXPECT_EQ(form->txt[4]->text(), "-0.8");
    EXPECT_EQ(form->txt[5]->text(), "1.2");
}

TEST_F(LoopWindow, BinCountChangeKeepsAveragingAndRedrawsTheNewAxis) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 2);
    zr::selectEntry(form->averaging, 1);
    form->numavg = 10;
    click(3);
    EXPECT_EQ(form->avgcount, 1);
    zr::selectEntry(form->histbins, 2); // 64
    EXPECT_EQ(form->histbinsindex, 2);
    EXPECT_EQ(form->avgcount, 1);
    click(3);
    EXPECT_EQ(form->npoints, 64);
}

// ---------------------------------------------------------------------------
// Graph, axes and mapping

TEST_F(LoopWindow, GridAndTraceLandOnTheirPixels) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 0); // yref 0 centred, 1 V/div, 10 x 10 divisions
    zr::clickOption(form->resampmode[0]);
    instrument.blockData.assign(1024, 0.5f);
    click(3);
    const QImage& img = form->picbox->image();
    const int W = img.width();
    const int H = img.height();
    const QColor grey(128, 128, 128);
    const QColor trace = form->picbox->foreColor();
    auto near = [&](int col, int row, const QColor& c) {
        for (int dc = -1; dc <= 1; ++dc) {
            for (int dr = -1; dr <= 1; ++dr) {
                const int x = col + dc, y = row + dr;
                if (x >= 0 && y >= 0 && x < W && y < H && img.pixelColor(x, y) == c) {
                    return true;
                }
            }
        }
        return false;
    };
    // The top grid line is at +5 V, the bottom one at -5 V; the picture spans 1.002 times that.
    for (int k = 0; k <= 10; ++k) {
        const int row = static_cast<int>(std::floor(k / 10.02 * H));
        const int col = static_cast<int>(std::floor(k / 10.02 * W));
        EXPECT_TRUE(near(static_cast<int>(W * 0.05 / 1.002 + 0.5 * W / 10.02), row, grey))
            << "horizontal grid line " << k;
        EXPECT_TRUE(near(col, static_cast<int>(0.55 / 10.02 * H), grey))
            << "vertical grid line " << k;
    }
    // The trace at 0.5 V lies 4.5 divisions below the top.
    const int traceRow = static_cast<int>(std::floor(4.5 / 10.02 * H));
    EXPECT_TRUE(near(W / 2 + 3, traceRow, trace));
    EXPECT_FALSE(near(W / 2 + 3, static_cast<int>(std::floor(7.5 / 10.02 * H)), trace));
    // Between the lines, away from the trace: background.
    EXPECT_EQ(img.pixelColor(static_cast<int>(1.5 / 10.02 * W), static_cast<int>(2.5 / 10.02 * H)),
              form->picbox->backColor());

    // The mouse's user coordinates follow the same frame.
    const zr::GraphFrame f = zr::graphFrame(*form, 0);
    for (double col : {0.0, 17.0, W / 2.0, W - 1.0}) {
        EXPECT_NEAR(form->picbox->toUser(QPointF(col, 3)).x(), zr::pixelToUserX(f, col, W), 1e-9);
    }
}

TEST_F(LoopWindow, AxisReadOutLinesOfTheTimeDomainExample) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 0);
    setField(12, "0");
    setField(13, "0.00001");
    zr::selectEntry(form->xpos, 0);
    setField(9, "0");
    setField(10, "0.1");
    zr::selectEntry(form->ypos, 0);
    click(3);
    EXPECT_EQ(form->lablegraph[0]->text(), "Time Domain");
    EXPECT_EQ(form->lablegraph[1]->text(), "X:   Left=   0.000000Sec ,   10.000000uSec/div");
    EXPECT_EQ(form->lablegraph[2]->text(), "Y:    Top=   0.000000Volts ,  100.000000mVolts/div");
}

TEST_F(LoopWindow, YAutoscaleGoesThroughTheFields) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 0);
    zr::clickOption(form->resampmode[0]);
    std::vector<float> block(1024);
    for (int i = 0; i < 1024; ++i) {
        block[i] = -1.0f + 2.0f * static_cast<float>(i) / 1023.0f;
    }
    instrument.blockData = block;
    click(3);
    zr::selectEntry(form->ypos, 1); // centre
    zr::clickButton(form->yauto);
    EXPECT_EQ(form->txt[9]->text(), "0.125");
    EXPECT_EQ(form->txt[10]->text(), "0.25");
    EXPECT_DOUBLE_EQ(form->yref[0], 0.125);
    EXPECT_DOUBLE_EQ(form->yperdiv[0], 0.25);
    EXPECT_TRUE(form->relabel);
}

TEST_F(LoopWindow, ResampledBlockKeepsItsSpacingAcrossARelabel) {
    form->xautoflag->setChecked(false);
    zr::selectEntry(form->measmode, 0);
    zr::clickOption(form->resampmode[1]); // Gaussian
    zr::selectEntry(form->resamp, 3);     // 8x
    instrument.blockData.assign(1024, 0.1f);
    click(3);
    EXPECT_EQ(form->npoints, 8085);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / 20480000.0 / 8.0);
    form->relabel = true;
    form->drawgraph();
    EXPECT_EQ(form->npoints, 8085);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / 20480000.0 / 8.0);
}

TEST_F(LoopWindow, EngformatWritesTheCallersText) {
    QString text = "old";
    form->engformat(1234567, 6, text);
    EXPECT_EQ(text, "   1.234567M");
    form->engformat(-0.0025, 6, text);
    EXPECT_EQ(text, "  -2.500000m");
}

} // namespace

// The status line of the real window (offscreen) while the loop runs, pauses and takes a
// single block, and its resolution bandwidth in Spectrum mode.
#include "driver/dsp_library.h"
#include "driver/tests/fake_instrument.h"
#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(StatusLineWindow, ShowsRunStateBlockRateAndSpectrumRbw) {
    zr::FakeInstrument instrument;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    zr::MainForm form(&instrument, &dsp, &dialogs, QString());
    form.setTerminator([](int) {});
    form.instr = 4097;
    form.presetall(); // Spectrum, 1024 points at 20.48 MHz, "Gauss top"
    QStringList seen;
    const long pauseAt = form.passCount() + 3;
    form.setPassObserver([&](long passes) {
        form.refreshStatus(); // as the timer would
        seen << form.runstate->text();
        if (passes == pauseAt)
            zr::clickButton(form.meascontrol[1]); // Pause
    });
    zr::clickButton(form.meascontrol[0]); // Start
    form.refreshStatus();
    EXPECT_EQ(seen, QStringList({"Running", "Running", "Running"}));
    EXPECT_EQ(form.runstate->text(), "Paused");
    EXPECT_EQ(form.blockrate->text(), "0.0 blocks/s");
    zr::clickButton(form.meascontrol[3]); // Single
    EXPECT_EQ(seen.last(), "Single");
    EXPECT_EQ(form.blockrate->text(), ""); // running, no second measured yet
    // The status timer shows the idle loop by itself.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form.runstate->text() == "Single" && form.blockrate->text() != ""; }, 2000));

    EXPECT_EQ(form.rbw->text(), "RBW 44.307 kHz"); // 2.215349684 * 20480000 / 1024
    zr::selectEntry(form.window, 1);               // "Hann": 1.5 lines
    form.refreshStatus();
    EXPECT_EQ(form.rbw->text(), "RBW 30.000 kHz");
    zr::selectEntry(form.measmode, 0);
    form.refreshStatus();
    EXPECT_EQ(form.rbw->text(), "");
}

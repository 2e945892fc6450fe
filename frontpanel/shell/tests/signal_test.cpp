// SIGTERM reaches the window thread through the event loop, also inside a measurement loop.
#include "driver/tests/fake_instrument.h"
#include "driver/dsp_library.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"
#include "shell/signal_watch.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

bool pumpUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

TEST(SignalWatch, TermRunsTheCallbackOnTheWindowThread) {
    int seen = 0;
    zr::SignalWatch watch([&] { ++seen; });
    ASSERT_TRUE(watch.active());
    ::raise(SIGTERM);   // would end the test program without the watch
    EXPECT_EQ(seen, 0); // nothing runs inside the signal handler
    EXPECT_TRUE(pumpUntil([&] { return seen == 1; }));
}

TEST(SignalWatch, SignalClosesTheWindowLikeItsCloseBox) {
    zr::FakeInstrument instrument;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    zr::MainForm form(&instrument, &dsp, &dialogs, "/a\"sim\"");
    int status = -1;
    form.setTerminator([&](int s) { status = s; });
    zr::SignalWatch watch([&] { form.close(); });
    // Raised in start-up's loop: the yield delivers it, the window closes and the loop ends.
    form.setPassObserver([&](long pass) {
        if (pass == 1) {
            ::raise(SIGTERM);
        }
        if (pass > 1000) {
            form.stopflag = true; // never reached when the signal works
        }
    });
    form.Form_Load();
    EXPECT_TRUE(pumpUntil([&] { return status == 0; }));
    EXPECT_LT(form.passCount(), 1000);
    EXPECT_EQ(instrument.log().back(), "zrq7010_close 0");
}

} // namespace

// SIGTERM reaches the window thread through the event loop; that it closes the window, also
// inside a measurement loop, is run end to end in e2e_test.cpp.
#include "shell/signal_watch.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(SignalWatch, TermRunsTheCallbackOnTheWindowThread) {
    int seen = 0;
    zr::SignalWatch watch([&] { ++seen; });
    ASSERT_TRUE(watch.active());
    ::raise(SIGTERM);   // would end the test program without the watch
    EXPECT_EQ(seen, 0); // nothing runs inside the signal handler
    QElapsedTimer t;
    t.start();
    while (seen == 0 && t.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(seen, 1);
}

} // namespace

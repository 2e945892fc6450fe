// SIGINT, SIGTERM and SIGHUP (terminal hang-up, session logout) close the
// main window the same way its close box does.
//
// The signal handler only writes one byte into a pipe (async-signal-safe);
// a socket notifier on the pipe's read end runs the close on the window
// thread, from the event loop (also from inside the measurement loop's yield).
// The handlers are installed once, as the program's first act, and stay for
// the life of the process: a signal that arrives before the window exists
// waits in the pipe, and one that arrives while the program ends (or repeats
// during the close) is absorbed, so every way out ends with the close's status.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace zr {

// Creates the pipe and installs the handlers, once per process; later calls
// do nothing. Returns false when the pipe cannot be made (the signals then
// keep their default action).
bool installTerminationHandlers();

class SignalWatch : public QObject {
    Q_OBJECT
public:
    // Installs the handlers if that has not been done; `onSignal` runs on the
    // window thread for each batch of signals received, including those that
    // arrived before. One instance at a time.
    explicit SignalWatch(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalWatch() override;

    // Whether the handlers could be installed.
    bool active() const { return notifier_ != nullptr; }

private:
    void drain();
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace zr

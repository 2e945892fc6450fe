// SIGINT and SIGTERM close the main window the same way its close box does.
//
// The signal handler only writes one byte into a pipe (async-signal-safe);
// a socket notifier on the pipe's read end runs the close on the window
// thread, from the event loop (also from inside the measurement loop's yield).
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace zr {

class SignalWatch : public QObject {
    Q_OBJECT
public:
    // Installs handlers for SIGINT and SIGTERM; `onSignal` runs on the
    // window thread for each signal received. One instance per process.
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

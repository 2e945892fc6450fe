// The front-panel program zrq7010.
//
// The command line is read as one text (see command_line.h): /a"descriptor"
// gives the resource descriptor, /d shows the Diagnostics panel's menu item.
// Other options are ignored by start-up.
#include "driver/driver_library.h"
#include "shell/command_line.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "shell/signal_watch.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window's unload ends the program, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<zr::Instrument> instrument = zr::makeDriverLibrary();
    zr::QtDialogs dialogs;
    zr::MainForm form(instrument.get(), &dialogs, zr::commandLineText(QApplication::arguments()));

    // SIGINT / SIGTERM close the window like its close box.
    zr::SignalWatch signalWatch([&form] { form.close(); });

    // Start-up runs inside the event loop: the measurement loop it enters
    // yields to that loop, and a close during the yield ends it cleanly.
    QTimer::singleShot(0, &form, [&form] { form.Form_Load(); });
    return QApplication::exec();
}

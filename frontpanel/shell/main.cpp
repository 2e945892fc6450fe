// The front-panel program zrq7010.
//
// The command line is read as one text (see command_line.h): /a"descriptor"
// gives the resource descriptor, /d shows the Diagnostics panel's menu item.
// Other options are ignored by start-up.
//
// Headless picture of the window: `--snapshot FILE.png [--blocks N]` runs the
// measurement loop for N passes (default 10), writes the whole window to FILE
// as a PNG, prints the five graph read-out lines, closes the session and ends
// with status 0. A malformed option of the program's own prints the usage and
// ends with status 2; `--help` prints it and ends with 0. It
// needs no display (without one it uses Qt's offscreen platform); messages go
// to standard error instead of message boxes, and a descriptor must be given
// with /a, since no dialog can be answered.
#include "driver/driver_library.h"
#include "shell/command_line.h"
#include "common/dialogs.h"
#include "shell/main_form.h"
#include "shell/signal_watch.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace {

// Dialogs of a run without an operator: messages are printed, the input dialog is cancelled
// and every question is answered No.
class HeadlessDialogs : public zr::Dialogs {
public:
    QString input(const QString& prompt, const QString&, const QString&) override {
        std::cerr << "zrq7010: no answer to \"" << prompt.toStdString() << "\"\n";
        return {};
    }
    void message(const QString& text, const QString& title) override {
        std::cerr << "zrq7010: " << title.toStdString() << ": " << text.toStdString() << '\n';
    }
    bool question(const QString& text, const QString&) override {
        std::cerr << "zrq7010: answered No to \"" << text.toStdString() << "\"\n";
        return false;
    }
    QString saveFileName(const QString& title, const QString&, const QString&) override {
        std::cerr << "zrq7010: no file chosen for \"" << title.toStdString() << "\"\n";
        return {};
    }
};

} // namespace

int main(int argc, char** argv) {
    // First of all, so that no termination signal finds the default action: until the window
    // exists a signal waits in the handlers' pipe, and it then closes the window like any other.
    zr::installTerminationHandlers();

    // The arguments byte for byte (see command_line.h), before Qt takes out options of its own.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i) {
        rawArguments << QString::fromLatin1(argv[i]);
    }
    const zr::ProgramOptions options = zr::programOptions(rawArguments);
    if (!options.error.isEmpty()) {
        std::cerr << "zrq7010: " << options.error.toStdString() << "; "
                  << zr::usageLine().toStdString() << '\n';
        return 2;
    }
    if (options.help) {
        std::cout << zr::usageLine().toStdString() << '\n';
        return 0;
    }
    const std::optional<QString> snapshotFile =
        options.snapshot
            ? std::optional<QString>(QString::fromLocal8Bit(options.snapshot->toLatin1()))
            : std::nullopt;
    const bool snapshot = snapshotFile.has_value();
    if (snapshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    // The window's unload ends the program, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<zr::Instrument> instrument = zr::makeDriverLibrary();
    zr::QtDialogs qtDialogs;
    HeadlessDialogs headlessDialogs;
    zr::Dialogs* dialogs = snapshot ? static_cast<zr::Dialogs*>(&headlessDialogs) : &qtDialogs;
    zr::MainForm form(instrument.get(), dialogs, zr::commandLineText(options.rest));
    // Message boxes and the descriptor dialog belong to the window: centred on it, modal to it.
    qtDialogs.setParent(&form);

    // SIGINT, SIGTERM and SIGHUP close the window like its close box.
    zr::SignalWatch signalWatch([&form] { form.close(); });

    if (snapshot) {
        // The loop ends itself after the requested number of passes, as after "Single".
        form.setPassObserver([&form, blocks = options.blocks](long passes) {
            if (passes >= blocks) {
                form.singleflag = true;
            }
        });
    }

    // Start-up runs inside the event loop: the measurement loop it enters
    // yields to that loop, and a close during the yield ends it cleanly.
    bool pictureTaken = false;
    QTimer::singleShot(0, &form, [&form, &snapshotFile, &pictureTaken] {
        if (form.ended()) {
            return; // closed by a signal before start-up
        }
        form.Form_Load();
        if (!snapshotFile || form.ended()) {
            return;
        }
        const QImage picture = form.grab().toImage();
        pictureTaken = true;
        const bool written = !picture.isNull() && picture.save(*snapshotFile, "PNG");
        if (written) {
            for (const QLabel* line : form.lablegraph) {
                std::cout << line->text().toStdString() << '\n';
            }
            std::cout.flush();
        }
        // Closing the window closes the session and ends the event loop.
        form.close();
        if (!written) {
            std::cerr << "zrq7010: cannot write " << snapshotFile->toStdString() << '\n';
            QCoreApplication::exit(1);
        }
    });
    const int status = QApplication::exec();
    if (snapshot && !pictureTaken && status == 0) {
        std::cerr << "zrq7010: the program ended before the picture was taken\n";
        return 1;
    }
    return status;
}

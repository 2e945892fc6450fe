// The front-panel program zrq7010.
//
// The command line is read as one text (see command_line.h): /a"descriptor"
// gives the resource descriptor, /d shows the Diagnostics panel's menu item.
// Other options are ignored by start-up.
//
// Headless picture of the window: `--snapshot FILE.png [--blocks N]` runs the
// measurement loop for N passes (default 10), writes the whole window to FILE
// as a PNG, prints the five graph read-out lines, closes the session and ends
// with status 0. `--csv FILE.csv`, with or without --snapshot, writes the
// trace on show after those passes as CSV (as Edit > Export Data does). A
// file that cannot be written is named on standard error and the program ends
// with status 1. A malformed option of the program's own prints the usage and
// ends with status 2; `--help` prints it and ends with 0. A headless run
// needs no display (without one it uses Qt's offscreen platform); messages go
// to standard error instead of message boxes, and a descriptor must be given
// with /a, since no dialog can be answered.
#include "driver/driver_library.h"
#include "driver/dsp_library.h"
#include "shell/command_line.h"
#include "common/dialogs.h"
#include "common/save_file.h"
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
    // File names as the system gave their bytes.
    const auto fileName = [](const std::optional<QString>& option) {
        return option ? std::optional<QString>(QString::fromLocal8Bit(option->toLatin1()))
                      : std::nullopt;
    };
    const std::optional<QString> snapshotFile = fileName(options.snapshot);
    const std::optional<QString> csvFile = fileName(options.csv);
    // A run without an operator: it ends by itself after the requested passes.
    const bool headless = snapshotFile.has_value() || csvFile.has_value();
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    // The window's unload ends the program, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<zr::Instrument> instrument = zr::makeDriverLibrary();
    zr::QtDialogs qtDialogs;
    HeadlessDialogs headlessDialogs;
    zr::Dialogs* dialogs = headless ? static_cast<zr::Dialogs*>(&headlessDialogs) : &qtDialogs;
    zr::DspLibrary dsp;
    zr::MainForm form(instrument.get(), &dsp, dialogs, zr::commandLineText(options.rest));
    // Message boxes and the descriptor dialog belong to the window: centred on it, modal to it.
    qtDialogs.setParent(&form);

    // SIGINT, SIGTERM and SIGHUP close the window like its close box.
    zr::SignalWatch signalWatch([&form] { form.close(); });

    if (headless) {
        // The loop ends itself after the requested number of passes, as after "Single".
        form.setPassObserver([&form, blocks = options.blocks](long passes) {
            if (passes >= blocks) {
                form.singleflag = true;
            }
        });
    }

    // Start-up runs inside the event loop: the measurement loop it enters
    // yields to that loop, and a close during the yield ends it cleanly.
    bool resultsTaken = false;
    QTimer::singleShot(0, &form, [&form, &snapshotFile, &csvFile, &resultsTaken] {
        if (form.ended()) {
            return; // closed by a signal before start-up
        }
        form.Form_Load();
        if (!(snapshotFile || csvFile) || form.ended()) {
            return;
        }
        resultsTaken = true;
        bool written = true;
        if (snapshotFile) {
            const QImage picture = form.grab().toImage();
            if (!picture.isNull() && picture.save(*snapshotFile, "PNG")) {
                for (const QLabel* line : form.lablegraph) {
                    std::cout << line->text().toStdString() << '\n';
                }
                std::cout.flush();
            } else {
                std::cerr << "zrq7010: cannot write " << snapshotFile->toStdString() << '\n';
                written = false;
            }
        }
        if (csvFile) {
            const QString reason =
                zr::saveWhole(*csvFile, QByteArray::fromStdString(form.traceCsvText()));
            if (!reason.isEmpty()) {
                std::cerr << "zrq7010: " << zr::saveFailedText(*csvFile, reason).toStdString()
                          << '\n';
                written = false;
            }
        }
        // Closing the window closes the session and ends the event loop.
        form.close();
        if (!written) {
            QCoreApplication::exit(1);
        }
    });
    const int status = QApplication::exec();
    if (headless && !resultsTaken && status == 0) {
        std::cerr << "zrq7010: the program ended before the picture or data were taken\n";
        return 1;
    }
    return status;
}

// The front-panel program zrq7010.
//
// The command line is read as one text (see command_line.h): /a"descriptor"
// gives the resource descriptor, /d shows the Diagnostics panel's menu item.
// Other options are ignored by start-up.
//
// Headless picture of the window: `--snapshot FILE.png [--blocks N]` runs the
// measurement loop for N passes (default 10), writes the whole window to FILE
// as a PNG, prints the five graph read-out lines and ends with status 0. It
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
#include <cstring>
#include <iostream>
#include <optional>

namespace {

struct SnapshotOptions {
    QString file;
    long blocks = 10;
};

// Finds --snapshot FILE and --blocks N in argv. Returns nothing without --snapshot; an unusable
// block count is reported by `bad`.
std::optional<SnapshotOptions> snapshotOptions(int argc, char** argv, bool& bad) {
    std::optional<SnapshotOptions> options;
    long blocks = 10;
    bad = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) {
            options = SnapshotOptions{QString::fromLocal8Bit(argv[++i]), 10};
        } else if (std::strcmp(argv[i], "--blocks") == 0 && i + 1 < argc) {
            char* end = nullptr;
            blocks = std::strtol(argv[++i], &end, 10);
            bad = bad || end == argv[i] || *end != '\0' || blocks < 1;
        }
    }
    if (options) {
        options->blocks = blocks;
    }
    return options;
}

// The program's arguments without the snapshot options, so that start-up never reads a file
// name as one of its switches.
QStringList withoutSnapshotOptions(QStringList arguments) {
    for (int i = 1; i < arguments.size();) {
        if ((arguments[i] == QLatin1String("--snapshot") ||
             arguments[i] == QLatin1String("--blocks")) &&
            i + 1 < arguments.size()) {
            arguments.remove(i, 2);
        } else {
            ++i;
        }
    }
    return arguments;
}

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
};

} // namespace

int main(int argc, char** argv) {
    bool badBlocks = false;
    const std::optional<SnapshotOptions> snapshot = snapshotOptions(argc, argv, badBlocks);
    if (snapshot && badBlocks) {
        std::cerr << "zrq7010: --blocks needs a whole number of at least 1\n";
        return 2;
    }
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
    zr::MainForm form(instrument.get(), dialogs,
                      zr::commandLineText(withoutSnapshotOptions(QApplication::arguments())));

    // SIGINT / SIGTERM close the window like its close box.
    zr::SignalWatch signalWatch([&form] { form.close(); });

    if (snapshot) {
        // The loop ends itself after the requested number of passes, as after "Single".
        form.setPassObserver([&form, blocks = snapshot->blocks](long passes) {
            if (passes >= blocks) {
                form.singleflag = true;
            }
        });
    }

    // Start-up runs inside the event loop: the measurement loop it enters
    // yields to that loop, and a close during the yield ends it cleanly.
    QTimer::singleShot(0, &form, [&form, &snapshot] {
        form.Form_Load();
        if (!snapshot || form.ended()) {
            return;
        }
        const QImage picture = form.grab().toImage();
        if (picture.isNull() || !picture.save(snapshot->file, "PNG")) {
            std::cerr << "zrq7010: cannot write " << snapshot->file.toStdString() << '\n';
            QCoreApplication::exit(1);
            return;
        }
        for (const QLabel* line : form.lablegraph) {
            std::cout << line->text().toStdString() << '\n';
        }
        std::cout.flush();
        QCoreApplication::exit(0);
    });
    const int status = QApplication::exec();
    if (snapshot && form.ended() && status == 0) {
        std::cerr << "zrq7010: the program ended before the picture was taken\n";
        return 1;
    }
    return status;
}

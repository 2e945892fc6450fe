// The main window: construction, handler wiring, start-up, shut-down and
// panel switching.
#include "shell/main_form.h"

#include "diag/diag_registers.h"
#include "driver/instrument.h"
#include "settings/settings_lists.h"
#include "shell/command_line.h"
#include "common/controls.h"
#include "common/dialogs.h"
#include "shell/picture_box.h"
#include "shell/screen_fit.h"
#include "common/wiring.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>

#include <array>
#include <utility>

namespace zr {

namespace {
const QString kTrapText =
    QStringLiteral("DLL not found. Double-click readme icon in zrq7010 group for possible causes.");
} // namespace

QString MainForm::appTitle() {
    return QStringLiteral("ZRQ7010 Front Panel");
}

MainForm::MainForm(Instrument* instrument, SignalProcessing* dsp_, Dialogs* dialogs_,
                   QString commandLine, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine)) {
    zrq7010 = instrument;
    dsp = dsp_;
    dialogs = dialogs_;
    terminator_ = [](int status) { QCoreApplication::exit(status); };
    setObjectName(QStringLiteral("main"));
    buildWindow();
    wireHandlers();
}

MainForm::~MainForm() = default;

void MainForm::setTerminator(std::function<void(int)> terminator) {
    terminator_ = std::move(terminator);
}

void MainForm::dispatch(const QString& name, const std::function<void()>& handler) {
    if (unloading) {
        return;
    }
    ++dispatches_;
    if (handlerTrace_) {
        handlerTrace_(name);
    }
    // A handler that throws does not unwind through the window system's event dispatch: the
    // failure is reported here, and a handler it ran from (a program-driven click) goes on.
    try {
        handler();
    } catch (const std::exception& e) {
        failure(e);
    } catch (...) {
        failure(std::runtime_error("unknown failure"));
    }
}

void MainForm::wireHandlers() {
    // Each subsystem wires its own controls; the shell wires the panel switching, Reset, Help
    // and About.
    const Wiring w(*this);
    wireSettingsPanels(w);
    wireMeasurement(w);
    wireDisplay(w);
    wireDiagnostics(w);
    w.indexed(controlmenu, "controlmenu_click", &MainForm::controlmenu_click);
    w.indexed(resetmenu, "resetmenu_Click", &MainForm::resetmenu_Click);
    w.items({ZR_WIRE(hlp, hlp_Click), ZR_WIRE(about, about_Click)});
}

// ---------------------------------------------------------------------------
// Start-up

void MainForm::Form_Load() {
    loading_ = true;
    trapArmed_ = false;
    try {
        formLoadSteps();
    } catch (const std::exception& e) {
        failure(e);
    } catch (...) {
        failure(std::runtime_error("unknown failure"));
    }
    loading_ = false;
}

void MainForm::formLoadSteps() {
    // The default descriptor; nothing asked yet.
    descriptor = QStringLiteral("VXI::192");
    // The descriptor as the driver gets it: 8-bit text, byte for byte as it
    // stood on the command line (or as the locale encodes the dialog's
    // answer). `descriptor` shows it as well as the locale can.
    QByteArray text = descriptor.toLocal8Bit();
    QByteArray previous;
    bool fromCommandLine = false;
    int32_t status = 0;

    do {
        // Obtain a descriptor: the command line once, then the dialog.
        const std::optional<QString> fromSwitch = descriptorSwitch(commandLine_);
        if (fromSwitch && !fromCommandLine) {
            text = fromSwitch->toLatin1(); // one character per byte, see command_line.h
            descriptor = QString::fromLocal8Bit(text);
            fromCommandLine = true;
        } else {
            const QString answer = trimBlanks(
                dialogs->input(QStringLiteral("Resource Descriptor"), appTitle(), descriptor));
            if (unloading) {
                return; // the window was closed while the dialog was up
            }
            // The pre-filled answer confirmed unchanged keeps its exact bytes.
            if (answer != descriptor) {
                descriptor = answer;
                text = answer.toLocal8Bit();
            }
        }
        // Empty or repeated: end silently.
        if (text.isEmpty() || text == previous) {
            endProgram(0);
            return;
        }
        // Remember it: the same descriptor twice in a row ends the program.
        previous = text;
        if (selectsSimulation(descriptor)) {
            // Simulated mode; no session is opened.
            instr = 0;
            status = 0;
            descriptor = QStringLiteral("sim");
        } else {
            // Open the session under the start-up error trap.
            trapArmed_ = true;
            instr = 0;
            status = zrq7010->init(text.constData(), 1, 1, &instr);
            if (status == 0 && instr == 0) {
                // Handle 0 is simulated mode: a driver that reports success
                // without a session has not opened one.
                dialogs->message(
                    QStringLiteral("The driver reported success but opened no session for %1.")
                        .arg(descriptor),
                    appTitle());
                if (unloading) {
                    return;
                }
                status = -1;
            } else if (status != 0) {
                std::array<char, kDriverTextSize + 1> buffer{}; // all code 0
                zrq7010->error_message(instr, status, buffer.data());
                buffer[kDriverTextSize] = '\0'; // never read past the 80 characters
                dialogs->message(QString::fromLocal8Bit(buffer.data()), appTitle());
                if (unloading) {
                    return;
                }
            }
        }
        // Ask again after a failed open.
    } while (status != 0);

    // The caption names the session.
    setWindowTitle(QStringLiteral("ZRQ7010 Front Panel -- ") + descriptor);
    // Calibration mode "Full calibration", tau 2^22, output "Normal".
    zrq7010->diag_reg(instr, kControlRegister, asRegisterArg(kControlRegisterInitial));
    // Every setting to its preset, through its handler.
    presetall();
    if (unloading) {
        return;
    }
    // Larger block sizes: selectable by the operator, never preset.
    for (std::string_view entry : kLargeBlockSizeEntries) {
        blocksize->addItem(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    // /d shows the Diagnostics item.
    if (diagnosticsSwitch(commandLine_)) {
        controlmenu[7]->setVisible(true);
    }
    // On a small or scaled screen the window opens no larger than the free area.
    if (const QScreen* screen = QWidget::screen()) {
        resize(openingSize(size(), minimumSizeHint(), screen->availableGeometry().size(),
                           QSize(8, 32)));
    }
    show();
    repaint();
    // Measure until the operator stops the loop (or the window closes).
    stopflag = true;
    measloop();
}

// A failure in a handler or in start-up. Under the start-up error trap it
// shows the trap's message; otherwise a message naming what failed. Either
// way an open session is closed and the program ends with a non-zero status.
void MainForm::failure(const std::exception& e) {
    if (ended_) {
        return;
    }
    stopflag = true;
    unloading = true;
    if (instr != 0) {
        try {
            zrq7010->close(instr);
        } catch (const std::exception&) {
            // the driver itself may be what failed
        }
    }
    if (loading_ && trapArmed_) {
        dialogs->message(kTrapText, QStringLiteral("Error"));
    } else {
        dialogs->message(
            QStringLiteral("The front panel has to stop: %1").arg(QString::fromLocal8Bit(e.what())),
            QStringLiteral("Error"));
    }
    endProgram(1);
}

void MainForm::endProgram(int status) {
    if (ended_) {
        return;
    }
    ended_ = true;
    unloading = true;
    stopflag = true;
    exitStatus_ = status;
    if (cal) {
        cal->hide();
    }
    hide();
    if (terminator_) {
        terminator_(status);
    }
}

// ---------------------------------------------------------------------------
// Shut-down

void MainForm::Form_Unload() {
    // No further block.
    stopflag = true;
    unloading = true;
    // Close the session (also the handle 0 of simulated mode); the result
    // is not used, and a driver that cannot be reached does not stop the end.
    try {
        zrq7010->close(instr);
    } catch (const std::exception&) {
    }
    // The calibration table window goes with the main window.
    if (cal) {
        cal->close();
    }
    // Nothing runs after this.
    endProgram(0);
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        Form_Unload();
    }
    event->accept();
}

// ---------------------------------------------------------------------------
// Panel switching

void MainForm::controlmenu_click(int index) {
    if (index < 0 || index >= static_cast<int>(Frame1.size())) {
        return;
    }
    bringToFront(Frame1[static_cast<std::size_t>(index)]);
    diagshown = (index == 7);
}

// ---------------------------------------------------------------------------
// Text fields: Enter commits at once; every key asks for new axes.

void MainForm::txt_KeyPress(int index, int& keyAscii) {
    if (keyAscii == kKeyEnter) {
        txt_lostfocus(index);
        keyAscii = 0;
    }
    relabel = true;
}

} // namespace zr

// The main window: construction, handler wiring, start-up, shut-down and
// panel switching.
#include "shell/main_form.h"

#include "driver/instrument.h"
#include "shell/command_line.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

MainForm::MainForm(Instrument* instrument, Dialogs* dialogs_, QString commandLine, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine)) {
    zrq7010 = instrument;
    dialogs = dialogs_;
    terminator_ = [](int status) { QCoreApplication::exit(status); };
    setObjectName(QStringLiteral("main"));
    buildWindow();
    wireHandlers();
    setFailureSink([this](const std::exception& e) { failure(e); });
}

MainForm::~MainForm() {
    setFailureSink(nullptr);
}

void MainForm::setTerminator(std::function<void(int)> terminator) {
    terminator_ = std::move(terminator);
}

void MainForm::wireHandlers() {
    // Every dispatch from a control goes through `run`: no handler runs once
    // the window is unloading, and the trace (tests) sees the handler's name.
    auto run = [this](const QString& name, const std::function<void()>& h) {
        if (unloading) {
            return;
        }
        if (handlerTrace_) {
            handlerTrace_(name);
        }
        h();
    };
    auto list = [this, run](QComboBox* c, const char* name, void (MainForm::*h)()) {
        onClick(c, this, [this, run, name, h] {
            run(QString::fromLatin1(name), [this, h] { (this->*h)(); });
        });
    };
    auto button = [this, run](QAbstractButton* b, const QString& name, std::function<void()> h) {
        onClick(b, this, [run, name, h = std::move(h)] { run(name, h); });
    };
    auto item = [this, run](QAction* a, const QString& name, std::function<void()> h) {
        onClick(a, this, [run, name, h = std::move(h)] { run(name, h); });
    };
    auto indexed = [](const char* name, int i) {
        return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
    };

#define ZR_WIRE_LIST(control, handler) list(control, #handler, &MainForm::handler)
    ZR_WIRE_LIST(range, range_click);
    ZR_WIRE_LIST(coupling, coupling_Click);
    ZR_WIRE_LIST(signal, signal_Click);
    ZR_WIRE_LIST(ground, ground_Click);
    ZR_WIRE_LIST(aliasfilt, aliasfilt_Click);
    ZR_WIRE_LIST(datatype, datatype_Click);
    ZR_WIRE_LIST(bandwidth, bandwidth_Click);
    ZR_WIRE_LIST(sampfreq, sampfreq_Click);
    ZR_WIRE_LIST(blocksize, blocksize_click);
    ZR_WIRE_LIST(precision, precision_Click);
    ZR_WIRE_LIST(trigsource, trigsource_Click);
    ZR_WIRE_LIST(trigslope, trigslope_Click);
    ZR_WIRE_LIST(measmode, measmode_Click);
    ZR_WIRE_LIST(averaging, averaging_Click);
    ZR_WIRE_LIST(resamp, resamp_Click);
    ZR_WIRE_LIST(window, window_Click);
    ZR_WIRE_LIST(histbins, histbins_Click);
    ZR_WIRE_LIST(ypos, ypos_Click);
    ZR_WIRE_LIST(xpos, xpos_Click);
    ZR_WIRE_LIST(markermode, markermode_Click);
    ZR_WIRE_LIST(syncmode, syncmode_Click);
    ZR_WIRE_LIST(clocksource, clocksource_Click);
    ZR_WIRE_LIST(mastermode, mastermode_Click);
    ZR_WIRE_LIST(calmode, calmode_Click);
    ZR_WIRE_LIST(dataout, dataout_Click);
    ZR_WIRE_LIST(bumping, bumping_Click);
    ZR_WIRE_LIST(tau, tau_Click);
    ZR_WIRE_LIST(trimdac, trimdac_Click);
#undef ZR_WIRE_LIST

    // Check boxes with a handler; markrel(0..1), xautoflag and showcal have
    // none: they are read where they matter.
    button(appendstatus, "appendStatus_Click", [this] { appendStatus_Click(); });
    button(triggen, "triggen_Click", [this] { triggen_Click(); });
    button(slowclock, "slowclock_Click", [this] { slowclock_Click(); });

    for (int i = 0; i < 3; ++i) {
        button(resampmode[i], indexed("resampmode_Click", i), [this, i] { resampmode_Click(i); });
    }

    button(autorange, "autorange_Click", [this] { autorange_Click(); });
    button(autozero, "autozero_Click", [this] { autozero_Click(); });
    button(yauto, "yauto_Click", [this] { yauto_Click(); });
    button(xauto, "xauto_click", [this] { xauto_click(); });
    for (int i = 0; i < 5; ++i) {
        button(markmove[i], indexed("markmove_Click", i), [this, i] { markmove_Click(i); });
    }
    for (int i = 0; i < 4; ++i) {
        button(meascontrol[i], indexed("meascontrol_Click", i),
               [this, i] { meascontrol_Click(i); });
    }
    button(autohist, "autohist_Click", [this] { autohist_Click(); });
    for (int i = 0; i < 2; ++i) {
        button(markrelload[i], indexed("markrelload_Click", i),
               [this, i] { markrelload_Click(i); });
    }
    button(markstepload, "markstepload_Click", [this] { markstepload_Click(); });
    button(Command1, "Command1_Click", [this] { Command1_Click(); });

    for (int i = 0; i < 2; ++i) {
        item(editmenu[i], indexed("editmenu_Click", i), [this, i] { editmenu_Click(i); });
        item(resetmenu[i], indexed("resetmenu_Click", i), [this, i] { resetmenu_Click(i); });
    }
    for (int i = 0; i < 8; ++i) {
        item(controlmenu[i], indexed("controlmenu_click", i), [this, i] { controlmenu_click(i); });
    }
    item(selftest, "selftest_Click", [this] { selftest_Click(); });
    item(hlp, "hlp_Click", [this] { hlp_Click(); });
    item(about, "about_Click", [this] { about_Click(); });

    for (int i = 0; i < 18; ++i) {
        txt[i]->installEventFilter(new KeyFilter(
            txt[i],
            [this, run, i, indexed](int& keyAscii) {
                run(indexed("txt_KeyPress", i),
                    [this, i, &keyAscii] { txt_KeyPress(i, keyAscii); });
            },
            [this, run, i, indexed] {
                run(indexed("txt_lostfocus", i), [this, i] { txt_lostfocus(i); });
            }));
    }
    adc1entry->installEventFilter(new KeyFilter(
        adc1entry,
        [this, run](int& keyAscii) {
            run(QStringLiteral("adc1entry_KeyPress"),
                [this, &keyAscii] { adc1entry_KeyPress(keyAscii); });
        },
        nullptr));

    picbox->setMouseDown([this, run](int b, int shift, double x, double y) {
        runGuarded([&] {
            run(QStringLiteral("picbox_MouseDown"), [&] { picbox_MouseDown(b, shift, x, y); });
        });
    });
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
    // 1.
    descriptor = QStringLiteral("VXI::192");
    // The descriptor as the driver gets it: 8-bit text, byte for byte as it
    // stood on the command line (or as the locale encodes the dialog's
    // answer). `descriptor` shows it as well as the locale can.
    QByteArray text = descriptor.toLocal8Bit();
    QByteArray previous;
    bool fromCommandLine = false;
    int32_t status = 0;

    do {
        // 2. Obtain a descriptor: the command line once, then the dialog.
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
        // 3. Empty or repeated: end silently.
        if (text.isEmpty() || text == previous) {
            endProgram(0);
            return;
        }
        // 4.
        previous = text;
        if (selectsSimulation(descriptor)) {
            // 5. Simulated mode; no session is opened.
            instr = 0;
            status = 0;
            descriptor = QStringLiteral("sim");
        } else {
            // 6. Open the session under the start-up error trap.
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
        // 7. Ask again after a failed open.
    } while (status != 0);

    // 8.
    setWindowTitle(QStringLiteral("ZRQ7010 Front Panel -- ") + descriptor);
    // 9. Calibration mode "Full calibration", tau 2^22, output "Normal".
    zrq7010->diag_reg(instr, 1, 1812);
    // 10.
    presetall();
    if (unloading) {
        return;
    }
    // 11. Larger block sizes: selectable by the operator, never preset.
    blocksize->addItems({QStringLiteral("8192"), QStringLiteral("16384"), QStringLiteral("32768")});
    // 12.
    if (diagnosticsSwitch(commandLine_)) {
        controlmenu[7]->setVisible(true);
    }
    // 13.
    show();
    repaint();
    // 14. Measure until the operator stops the loop (or the window closes).
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
    // 1. No further block.
    stopflag = true;
    unloading = true;
    // 2. Close the session (also the handle 0 of simulated mode); the result
    // is not used, and a driver that cannot be reached does not stop the end.
    try {
        zrq7010->close(instr);
    } catch (const std::exception&) {
    }
    // 3.
    if (cal) {
        cal->close();
    }
    // 4.
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
    bringToFront(Frame1[index]);
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

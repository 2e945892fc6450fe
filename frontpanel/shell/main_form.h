// The main window `main` of the front panel: every control, the menus, the
// window `cal`, and the handlers of all controls.
//
// Form-level values live in the state structs the window inherits, so every
// handler uses them by name (instr, avgcount, relabel, ...). Controls are
// members named after the control; arrays of controls are std::arrays of
// pointers addressed by index, and one handler per array receives the index.
//
// Handlers are wired once, by the control mechanism of controls.h: an
// operator's click and a program-driven change (zr::selectEntry,
// zr::setChecked, zr::clickOption) both run the handler exactly once.
#pragma once

#include "diag/diag_hooks.h"
#include "diag/diag_state.h"
#include "display/axes.h"
#include "display/display_state.h"
#include "display/status_line.h"
#include "measure/loop_timing.h"
#include "measure/measure_state.h"
#include "measure/simread.h"
#include "settings/settings_state.h"
#include "shell/shell_state.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QImage;
class QLabel;
class QIODevice;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QStackedWidget;

namespace zr {

class Dialogs;
class Instrument;
class SignalProcessing;
struct DspFunctions;
class PictureBox;
class Wiring;

// The second window: "Calibration table", fixed-pitch text printed into.
class CalWindow : public QWidget {
    Q_OBJECT
public:
    explicit CalWindow(QWidget* parent = nullptr);
    void cls();                      // clears the printed text
    void print(const QString& line); // prints one line; the view stays where it was
    QString text() const;
    QPlainTextEdit* area() const { return area_; }

private:
    QPlainTextEdit* area_;
    int scrollTop_ = 0; // first line on show when the text was cleared
};

class MainForm : public QMainWindow,
                 public ShellState,
                 public MeasureState,
                 public DisplayState,
                 public SettingsState,
                 public DiagState {
    Q_OBJECT
public:
    // `instrument`, `dsp` and `dialogs` must outlive the window. `commandLine`
    // is the whole command-line text (see command_line.h).
    MainForm(Instrument* instrument, SignalProcessing* dsp, Dialogs* dialogs, QString commandLine,
             QWidget* parent = nullptr);
    ~MainForm() override;

    // How the program ends: called once with the exit status. The default
    // leaves the event loop (QCoreApplication::exit); tests record it.
    void setTerminator(std::function<void(int)> terminator);
    bool ended() const { return ended_; }
    // Tests: called with the handler's name ("range_click", "markmove_Click(2)")
    // each time a control dispatches to its handler.
    void setHandlerTrace(std::function<void(const QString&)> trace) {
        handlerTrace_ = std::move(trace);
    }
    int exitStatus() const { return exitStatus_; }

    // ---- Controls (names as every handler uses them) ----
    std::array<QGroupBox*, 8> Frame1{};
    std::array<QLabel*, 36> labl{}; // index 4 unused (nullptr)
    std::array<QLineEdit*, 18> txt{};

    // Input
    QComboBox* range = nullptr;
    QComboBox* coupling = nullptr;
    QComboBox* signal = nullptr;
    QComboBox* ground = nullptr;
    QComboBox* aliasfilt = nullptr;
    // Acquisition
    QComboBox* datatype = nullptr;
    QComboBox* bandwidth = nullptr;
    QComboBox* sampfreq = nullptr;
    QComboBox* blocksize = nullptr;
    QComboBox* precision = nullptr;
    QCheckBox* appendstatus = nullptr;
    // Trigger
    QCheckBox* triggen = nullptr;
    QComboBox* trigsource = nullptr;
    QComboBox* trigslope = nullptr;
    // Measurement
    QComboBox* measmode = nullptr;
    QComboBox* averaging = nullptr;
    std::array<QWidget*, 3> meascont{};
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 3> resampmode{};
    QComboBox* resamp = nullptr;
    QComboBox* window = nullptr; // hides QWidget::window(); use QWidget::window() explicitly
    QComboBox* histbins = nullptr;
    QPushButton* autohist = nullptr;
    // Display
    QLabel* lablyunits = nullptr;
    QLabel* lablxunits = nullptr;
    QComboBox* ypos = nullptr;
    QComboBox* xpos = nullptr;
    QCheckBox* xautoflag = nullptr;
    // Marker
    QComboBox* markermode = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QCheckBox*, 2> markrel{};
    std::array<QPushButton*, 2> markrelload{};
    QPushButton* markstepload = nullptr;
    // Clock
    QComboBox* syncmode = nullptr;
    QComboBox* clocksource = nullptr;
    QComboBox* mastermode = nullptr;
    QCheckBox* slowclock = nullptr;
    // Diagnostics
    QComboBox* calmode = nullptr;
    QComboBox* dataout = nullptr;
    QComboBox* bumping = nullptr;
    QComboBox* tau = nullptr;
    QCheckBox* showcal = nullptr;
    QGroupBox* Frame3 = nullptr;
    QComboBox* trimdac = nullptr;
    QLineEdit* adc1entry = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* adc1offset = nullptr;
    // Labels named LabelN
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    // Buttons under the settings area
    QPushButton* autorange = nullptr;
    QPushButton* autozero = nullptr;
    QPushButton* yauto = nullptr;
    QPushButton* xauto = nullptr;
    std::array<QPushButton*, 5> markmove{};
    std::array<QPushButton*, 4> meascontrol{};
    // Graph and read-outs
    PictureBox* picbox = nullptr;
    std::array<QLabel*, 5> lablegraph{};
    QLabel* badstate = nullptr;
    QLabel* overload = nullptr;
    // Status line: run state, blocks per second, resolution bandwidth (Spectrum mode).
    QLabel* runstate = nullptr;
    QLabel* blockrate = nullptr;
    QLabel* rbw = nullptr;
    // Menus
    QMenu* medit = nullptr;
    QMenu* mcontrol = nullptr;
    QMenu* mreset = nullptr;
    QMenu* mhelp = nullptr;
    std::array<QAction*, 2> editmenu{};
    QAction* savepicture = nullptr; // Edit > "Save Picture..."
    QAction* exportdata = nullptr;  // Edit > "Export Data..."
    std::array<QAction*, 8> controlmenu{};
    QAction* bar = nullptr;
    QAction* selftest = nullptr;
    std::array<QAction*, 2> resetmenu{};
    QAction* hlp = nullptr;
    QAction* about = nullptr;
    // The window "Calibration table".
    CalWindow* cal = nullptr;

    // The dialogs every handler shows its messages with.
    Dialogs* dialogs = nullptr;
    // The signal-processing library: the window's shape and every block's transform and
    // resampling.
    SignalProcessing* dsp = nullptr;
    // The clock of the power-on save and the opener of the user guide
    // (empty: the real ones; tests set their own).
    DiagHooks diagHooks;

    // How long "Auto Range" waits for the module to finish its search before
    // it reports a failure and keeps the range in force (tests shorten it).
    std::chrono::milliseconds autorangeTimeout{5000};

    // ---- Start-up, shut-down, panel switching ----
    void Form_Load();
    void Form_Unload();
    void controlmenu_click(int index);

    // ---- Handlers (one per control or control array) ----
    // Preset, help, about, reset
    void hlp_Click();
    void about_Click();
    void resetmenu_Click(int index);
    // Measurement loop and modes
    void meascontrol_Click(int index);
    void measmode_Click();
    void averaging_Click();
    void window_Click();
    void histbins_Click();
    void autohist_Click();
    void resamp_Click();
    void resampmode_Click(int index);
    // Display: axes, markers, clipboard
    void xauto_click();
    void yauto_Click();
    void xpos_Click();
    void ypos_Click();
    void markermode_Click();
    void markmove_Click(int index);
    void picbox_MouseDown(int button, int shift, double x, double y);
    // Wheel over the graph (image column, notches) and a Shift or middle-button drag (columns).
    void picbox_Wheel(double col, double steps);
    void picbox_Pan(double dcol);
    void markrelload_Click(int index);
    void markstepload_Click();
    void editmenu_Click(int index);
    void savepicture_Click();
    void exportdata_Click();
    // Numeric entry fields
    void txt_lostfocus(int index);
    void txt_KeyPress(int index, int& keyAscii);
    // Input settings
    void range_click();
    void coupling_Click();
    void ground_Click();
    void signal_Click();
    void aliasfilt_Click();
    void autorange_Click();
    void autozero_Click();
    // Acquisition and filter settings
    void datatype_Click();
    void precision_Click();
    void blocksize_click();
    void bandwidth_Click();
    void sampfreq_Click();
    void appendStatus_Click();
    // Trigger and clock settings
    void trigsource_Click();
    void trigslope_Click();
    void triggen_Click();
    void mastermode_Click();
    void syncmode_Click();
    void slowclock_Click();
    void clocksource_Click();
    // Diagnostics
    void calmode_Click();
    void dataout_Click();
    void bumping_Click();
    void tau_Click();
    void trimdac_Click();
    void adc1entry_KeyPress(int& keyAscii);
    void selftest_Click();
    void Command1_Click();

    // ---- Private procedures of the window ----
    void measloop();
    void drawgraph();
    void labelaxes();
    void autoscaley();
    void engformat(double value, int digits, QString& text);
    void histbuild(const float* data, int32_t count, float* counts, int32_t nbins, double low,
                   double high);
    void presetall();
    void fillbwlist();
    void fillfslist();
    void showcaltable();
    int32_t simread(int32_t& session, float* data, int32_t& count, int16_t& overloadflag);

    // What "Save Picture..." and "Export Data..." write, with the read-outs of the latest
    // block: the graph picture with the read-out lines under it, and the trace on show as CSV.
    QImage graphPicture();
    std::string traceCsvText();
    // Rewrites the status line from the state now (a timer does so a few times per second).
    void refreshStatus();

    // Runs a handler as every control dispatches to it: not once the window is
    // unloading, seen by the handler trace under `name`, and with a failure it
    // throws reported by failure() instead of leaving the handler.
    void dispatch(const QString& name, const std::function<void()>& handler);
    // How many dispatches the window has seen (tests).
    long dispatchCount() const { return dispatches_; }

    // The text of the whole command line this window was started with.
    const QString& commandLine() const { return commandLine_; }

    // Application title of the descriptor dialog and the open-failure box.
    static QString appTitle();

    // ---- Measurement loop: instrumentation for tests, the benchmark and the snapshot ----
    long passCount() const { return passCount_; } // passes measloop has started
    long drawCount() const { return drawCount_; } // redraws of the graph
    // Called at the end of every pass, before the "Single" check, with the number of passes run.
    void setPassObserver(std::function<void(long)> observer) {
        passObserver_ = std::move(observer);
    }
    // Accumulates the time of each stage of a pass while set (null: nothing is measured).
    LoopTiming* looptiming = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void wireHandlers();
    // Each subsystem builds its panels (and its buttons under them) and wires its controls, in
    // its own folder.
    void wireSettingsPanels(const Wiring& w);
    void wireMeasurement(const Wiring& w);
    void wireDisplay(const Wiring& w);
    void wireDiagnostics(const Wiring& w);
    void buildFields(); // the text fields txt(0..17), which several panels hold
    QWidget* buildPanelInput();
    QWidget* buildPanelAcquisition();
    QWidget* buildPanelTrigger();
    QWidget* buildPanelMeasurement();
    QWidget* buildPanelDisplay();
    QWidget* buildPanelMarker();
    QWidget* buildPanelClock();
    QWidget* buildPanelDiagnostics();

    void formLoadSteps();
    void failure(const std::exception& e);
    void endProgram(int status);

    QString commandLine_;
    QStackedWidget* panelStack_ = nullptr;
    std::function<void(int)> terminator_;
    std::function<void(const QString&)> handlerTrace_;
    long dispatches_ = 0;
    bool loading_ = false;   // Form_Load is running
    bool trapArmed_ = false; // the start-up error trap is armed
    bool ended_ = false;
    int exitStatus_ = 0;

    // Measurement loop (measure_handlers.cpp, graph_handlers.cpp).
    // What labelaxes and drawgraph read besides DisplayState. With
    // `blockOnShow`, the spacing and count of a resampled block on show are
    // kept, provided it was taken under the settings in force now.
    XAxisInputs axisInputs(bool blockOnShow = true) const;
    XAxisInputs::ResampleSetup resampleSetup() const; // the settings in force now
    void showAxisLabels(const AxisLabels& labels);
    // The library entry points a pass calls, bound to the window's library.
    DspFunctions libraryCalls() const;
    double selectedSampleRate() const; // fs: the number of the selected sampfreq entry
    int32_t selectedBins() const;      // nbins: the number of the selected histbins entry
    int loopDepth_ = 0;                // measloop calls active on the stack (0 or 1)
    bool loopRestart_ = false; // stopped and started again inside the yield: go on, do not nest
    UniformSource simrng_;     // the simulation's random numbers, never seeded
    // Spacing and count of the last block when it came out of the resampler,
    // and the settings it was taken under.
    std::optional<XAxisInputs::Resampled> lastResampled_;
    XAxisInputs::ResampleSetup lastResampledSetup_;
    QString calClipboardText_; // the calibration table last put on the clipboard
    QString saveFolder_;       // where the last picture or data file was saved
    // Asks for a file name (suggested: `name` in the last folder saved to) and writes it whole;
    // a failure is shown in a message box titled `title`.
    void saveToFile(const QString& title, const QString& name, const QString& filter,
                    const std::function<bool(QIODevice&)>& write);
    long passCount_ = 0;
    long drawCount_ = 0;
    std::function<void(long)> passObserver_;

    // What reaches the screen (graph_handlers.cpp). The picture is redrawn on every pass; the
    // read-out labels and the repaint follow at most once per display refresh while the loop
    // runs, and at once otherwise, at the loop's end and before the read-outs are copied.
    void setGraphCaption(int index, const std::string& text);
    void showGraph();    // now, or at the next refresh while the loop runs
    void presentGraph(); // now
    std::array<std::string, 5> captions_;
    std::array<bool, 5> captionsPending_{};
    QElapsedTimer presented_;
    QTimer* presentTimer_ = nullptr;

    // Status line (status_line_handlers.cpp) and mouse zoom (zoom_handlers.cpp).
    void buildStatusLine();
    static std::int64_t statusClockNs();
    RunState runState_ = RunState::Paused; // of the last loop entered or ended
    BlockRate blockRate_;
    QTimer* statusTimer_ = nullptr;
    // X-Ref and, when given, X-Per Div into their fields, applied as Autoscale X applies them.
    void applyXScale(double ref, std::optional<double> perdiv);
    void redrawWhilePaused();
};

} // namespace zr

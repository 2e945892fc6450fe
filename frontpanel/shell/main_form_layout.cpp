// Building the main window: panels, buttons, graph, read-out lines, menus.
// Nothing here runs a handler: lists are filled before any handler is wired.
#include "shell/main_form.h"

#include "shell/picture_box.h"
#include "shell/readout_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QFontMetrics>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cmath>

namespace zr {

namespace {

// A drop-down list with its entries and no selection; the preset selects.
QComboBox* makeList(const QStringList& items) {
    auto* list = new QComboBox;
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
    return list;
}

QLineEdit* makeText(const QString& text) {
    auto* field = new QLineEdit(text);
    field->setMinimumWidth(60);
    return field;
}

// A panel with a two-column grid: label left, control right.
struct Rows {
    QGridLayout* grid;
    int row = 0;
    void add(QWidget* label, QWidget* control) {
        if (label) {
            grid->addWidget(label, row, 0);
            grid->addWidget(control, row, 1);
        } else {
            grid->addWidget(control, row, 0, 1, 2);
        }
        ++row;
    }
    void finish() { grid->setRowStretch(row, 1); }
};

Rows rowsOf(QWidget* panel) {
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    return Rows{grid};
}

} // namespace

CalWindow::CalWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("cal"));
    setWindowTitle(QStringLiteral("Calibration table"));
    area_ = new QPlainTextEdit(this);
    area_->setReadOnly(true);
    area_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    area_->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area_);
    // Room for the whole table: 15 lines of up to 36 characters, with a spare line and
    // column, so neither scroll bar is needed.
    const QFontMetrics fm(area_->font());
    const int margin = 2 * (area_->frameWidth() +
                            static_cast<int>(std::ceil(area_->document()->documentMargin())) + 2);
    resize(fm.horizontalAdvance(QString(38, QLatin1Char('0'))) + margin,
           fm.lineSpacing() * 16 + margin);
}

void CalWindow::cls() {
    scrollTop_ = area_->verticalScrollBar()->value();
    area_->clear();
}
void CalWindow::print(const QString& line) {
    area_->appendPlainText(line);
    // The table is printed anew with every block: keep the operator's view instead of
    // following the text to its end.
    area_->verticalScrollBar()->setValue(scrollTop_);
}
QString CalWindow::text() const {
    return area_->toPlainText();
}

QWidget* MainForm::buildPanelInput() {
    auto* panel = Frame1[0];
    Rows r = rowsOf(panel);
    range = makeList({"10.24V, (30dBm)", "5.12V, (24dBm)", "2.56V, (18dBm)", "1.28V, (12dBm)",
                      "640mV, (6dBm)", "320mV, (0dBm)", "160mV, (-6dBm)", "80mV, (-12dBm)",
                      "40mV, (-18dBm)", "20mV, (-24dBm)"});
    coupling = makeList({"DC", "AC"});
    signal = makeList({"OFF", "ON"});
    ground = makeList({"Single Ended", "Floating"});
    aliasfilt = makeList({"Bypassed", "8MHz"});
    r.add(labl[0] = new QLabel("Range"), range);
    r.add(labl[1] = new QLabel("Coupling"), coupling);
    r.add(labl[2] = new QLabel("Signal"), signal);
    r.add(labl[3] = new QLabel("Ground"), ground);
    r.add(labl[5] = new QLabel("Alias Filter"), aliasfilt);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelAcquisition() {
    auto* panel = Frame1[1];
    Rows r = rowsOf(panel);
    datatype = makeList({"Baseband (real)", "Zoom (complex)"});
    bandwidth = makeList({});
    sampfreq = makeList({});
    blocksize = makeList({"32", "64", "128", "256", "512", "1024", "2048", "4096"});
    precision = makeList({"32-bits", "16-bits"});
    appendstatus = new QCheckBox("Overload linked to Block");
    r.add(labl[8] = new QLabel("Data type"), datatype);
    r.add(labl[9] = new QLabel("Bandwidth"), bandwidth);
    r.add(labl[10] = new QLabel("Center freq"), txt[2]);
    r.add(labl[11] = new QLabel("Sample freq"), sampfreq);
    r.add(labl[12] = new QLabel("Block Size"), blocksize);
    r.add(labl[13] = new QLabel("Precision"), precision);
    r.add(nullptr, appendstatus);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelTrigger() {
    auto* panel = Frame1[2];
    Rows r = rowsOf(panel);
    triggen = new QCheckBox("Enable generation");
    trigsource =
        makeList({"Software", "Input (% range)", "External", "Magnitude (dBfs)", "Immediate"});
    trigslope = makeList({"Positive", "Negative"});
    r.add(nullptr, triggen);
    r.add(labl[21] = new QLabel("Type"), trigsource);
    r.add(labl[22] = new QLabel("Level (% range)"), txt[6]);
    r.add(labl[23] = new QLabel("Level (dBfs)"), txt[7]);
    r.add(labl[24] = new QLabel("Slope"), trigslope);
    r.add(labl[25] = new QLabel("Delay (samples)"), txt[8]);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelMeasurement() {
    auto* panel = Frame1[3];
    Rows r = rowsOf(panel);
    measmode = makeList({"Time domain", "Spectrum", "Histogram"});
    averaging = makeList({"Off", "Exponential", "Peak"});
    r.add(labl[14] = new QLabel("Mode"), measmode);
    r.add(labl[15] = new QLabel("Averaging"), averaging);
    r.add(labl[16] = new QLabel("# Averages"), txt[3]);

    // Three mode-dependent sub-panels at one place; one is in front.
    auto* subStack = new QStackedWidget;
    for (auto& sub : meascont) {
        sub = new QWidget;
        subStack->addWidget(sub);
    }
    meascont[0]->setObjectName(QStringLiteral("meascont(0)"));
    meascont[1]->setObjectName(QStringLiteral("meascont(1)"));
    meascont[2]->setObjectName(QStringLiteral("meascont(2)"));

    // meascont(0): filter and resampling options
    {
        auto* lay = new QVBoxLayout(meascont[0]);
        lay->setContentsMargins(0, 0, 0, 0);
        Frame4 = new QGroupBox("Filter && Resample");
        Frame4->setObjectName(QStringLiteral("Frame4"));
        auto* f = new QGridLayout(Frame4);
        f->setContentsMargins(6, 6, 6, 6);
        resampmode[0] = new QRadioButton("Default Q7010");
        resampmode[1] = new QRadioButton("Gaussian Response");
        resampmode[2] = new QRadioButton("Flat Response");
        resampmode[0]->setChecked(true);
        f->addWidget(resampmode[0], 0, 0, 1, 2);
        f->addWidget(resampmode[1], 1, 0, 1, 2);
        f->addWidget(resampmode[2], 2, 0, 1, 2);
        resamp = makeList({"1x", "2x", "4x", "8x"});
        resamp->setEnabled(false);
        f->addWidget(Label10 = new QLabel("Rate multiplier"), 3, 0);
        f->addWidget(resamp, 3, 1);
        f->setColumnStretch(1, 1);
        lay->addWidget(Frame4);
        lay->addStretch(1);
    }
    // meascont(1): spectrum window
    {
        Rows s = rowsOf(meascont[1]);
        s.grid->setContentsMargins(0, 0, 0, 0);
        window = makeList({"Uniform", "Hann", "Gauss top", "Flat top"});
        s.add(labl[17] = new QLabel("Window"), window);
        s.finish();
    }
    // meascont(2): histogram
    {
        Rows s = rowsOf(meascont[2]);
        s.grid->setContentsMargins(0, 0, 0, 0);
        histbins = makeList({"16", "32", "64", "128", "256", "512", "1024", "2048", "4096"});
        autohist = new QPushButton("Auto Limit Set");
        s.add(labl[18] = new QLabel("Histogram Bins"), histbins);
        s.add(labl[19] = new QLabel("Histogram Min"), txt[4]);
        s.add(labl[20] = new QLabel("Histogram Max"), txt[5]);
        s.add(nullptr, autohist);
        s.finish();
    }
    r.grid->addWidget(subStack, r.row++, 0, 1, 2);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelDisplay() {
    auto* panel = Frame1[4];
    Rows r = rowsOf(panel);
    ypos = makeList({"Top", "Center", "Bottom"});
    xpos = makeList({"Left", "Center", "Right"});
    xautoflag = new QCheckBox("X-Auto On change");
    auto unitRow = [](QLabel* caption, QLabel* unit) {
        auto* box = new QWidget;
        auto* h = new QHBoxLayout(box);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(3);
        h->addWidget(caption);
        h->addWidget(unit);
        h->addStretch(1);
        return box;
    };
    labl[26] = new QLabel("Y-Ref,");
    lablyunits = new QLabel("Volts");
    labl[30] = new QLabel("X-Ref,");
    lablxunits = new QLabel("Hz");
    r.add(unitRow(labl[26], lablyunits), txt[9]);
    r.add(labl[27] = new QLabel("Y-Per Div"), txt[10]);
    r.add(labl[28] = new QLabel("Y-Ref Position"), ypos);
    r.add(labl[29] = new QLabel("Y-Grids"), txt[11]);
    r.add(unitRow(labl[30], lablxunits), txt[12]);
    r.add(labl[31] = new QLabel("X-Per Div"), txt[13]);
    r.add(labl[32] = new QLabel("X-Ref Position"), xpos);
    r.add(labl[33] = new QLabel("X-Grids"), txt[14]);
    r.add(nullptr, xautoflag);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelMarker() {
    auto* panel = Frame1[5];
    Rows r = rowsOf(panel);
    markermode = makeList({"Off", "On", "Noise"});
    r.add(labl[34] = new QLabel("Mode"), markermode);
    r.add(Label2 = new QLabel("X-value"), txt[0]);

    Frame2 = new QGroupBox("Relative");
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* g = new QGridLayout(Frame2);
    g->setContentsMargins(6, 6, 6, 6);
    markrel[0] = new QCheckBox("X");
    markrel[1] = new QCheckBox("Y");
    markrelload[0] = new QPushButton("<-");
    markrelload[1] = new QPushButton("<-");
    for (int i = 0; i < 2; ++i) {
        markrelload[i]->setFixedWidth(32);
        g->addWidget(markrel[i], i, 0);
        g->addWidget(txt[15 + i], i, 1);
        g->addWidget(markrelload[i], i, 2);
    }
    g->setColumnStretch(1, 1);
    r.grid->addWidget(Frame2, r.row++, 0, 1, 2);

    markstepload = new QPushButton("<-");
    markstepload->setFixedWidth(32);
    auto* step = new QWidget;
    auto* h = new QHBoxLayout(step);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(txt[17], 1);
    h->addWidget(markstepload);
    r.add(labl[35] = new QLabel("Step size"), step);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelClock() {
    auto* panel = Frame1[6];
    Rows r = rowsOf(panel);
    syncmode = makeList({"Independent", "Front", "Rear"});
    clocksource = makeList({"20.48MHz", "20MHz", "External", "20MHz locked"});
    mastermode = makeList({"Off", "On", "Buffer"});
    slowclock = new QCheckBox("Slow Clock");
    r.add(Label3 = new QLabel("Sync Mode"), syncmode);
    r.add(labl[6] = new QLabel("Source"), clocksource);
    r.add(Label9 = new QLabel("Master Mode"), mastermode);
    r.add(nullptr, slowclock);
    r.add(labl[7] = new QLabel("Ext clock freq"), txt[1]);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelDiagnostics() {
    auto* panel = Frame1[7];
    Rows r = rowsOf(panel);
    calmode = makeList({"Reset", "Uncalibrated", "Dither only", "Gain + dither", "DAC + dither",
                        "no updates", "no gain update", "Full calibration"});
    dataout = makeList({"Normal", "ADC1 only", "ADC2 only"});
    bumping = makeList({"Off", "On"});
    tau = makeList({"2^22", "2^23", "2^24", "2^25", "2^26", "2^27", "2^28", "2^29"});
    showcal = new QCheckBox("Show Cal");
    r.add(Label1 = new QLabel("Cal Mode"), calmode);
    r.add(Label5 = new QLabel("Output"), dataout);
    r.add(Label6 = new QLabel("Bumping"), bumping);
    r.add(Label7 = new QLabel("Tau"), tau);
    r.add(nullptr, showcal);

    Frame3 = new QGroupBox("Trim DAC");
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* g = new QGridLayout(Frame3);
    g->setContentsMargins(6, 6, 6, 6);
    trimdac = makeList({"Input offset (fine)", "Input offset (coarse)", "ADC1 offset",
                        "ADC1 reference", "Sum Node offset", "DAC1 reference", "DAC2 reference",
                        "DAC3 reference", "20MHz Adjust"});
    adc1entry = makeText(QString());
    adc1entry->setObjectName(QStringLiteral("adc1entry"));
    Command1 = new QPushButton("Save");
    Label8 = new QLabel("Bump=");
    adc1offset = new QLabel;
    adc1offset->setObjectName(QStringLiteral("adc1offset"));
    g->addWidget(trimdac, 0, 0, 1, 3);
    g->addWidget(Label4 = new QLabel("Value"), 1, 0);
    g->addWidget(adc1entry, 1, 1, 1, 2);
    g->addWidget(Command1, 2, 0);
    g->addWidget(Label8, 2, 1);
    g->addWidget(adc1offset, 2, 2);
    g->setColumnStretch(2, 1);
    r.grid->addWidget(Frame3, r.row++, 0, 1, 2);
    r.finish();
    return panel;
}

void MainForm::buildWindow() {
    setWindowTitle(QStringLiteral("ZRQ7010A Front Panel"));

    static const char* const kInitial[18] = {"0", "20480000", "0",  "10", "-1", "1",
                                             "0", "-60",      "0",  "0",  ".1", "10",
                                             "0", "10e-6",    "10", "0",  "0",  "0"};
    for (int i = 0; i < 18; ++i) {
        txt[i] = makeText(QString::fromLatin1(kInitial[i]));
        txt[i]->setObjectName(QStringLiteral("txt(%1)").arg(i));
    }

    static const char* const kPanels[8] = {"Input",   "Acquisition", "Trigger", "Measurement",
                                           "Display", "Marker",      "Clock",   "Diagnostics"};
    panelStack_ = new QStackedWidget;
    for (int i = 0; i < 8; ++i) {
        Frame1[i] = new QGroupBox(QString::fromLatin1(kPanels[i]));
        Frame1[i]->setObjectName(QStringLiteral("Frame1(%1)").arg(i));
    }
    buildPanelInput();
    buildPanelAcquisition();
    buildPanelTrigger();
    buildPanelMeasurement();
    buildPanelDisplay();
    buildPanelMarker();
    buildPanelClock();
    buildPanelDiagnostics();
    for (auto* panel : Frame1) {
        panelStack_->addWidget(panel);
    }
    panelStack_->setCurrentIndex(0);

    for (int i = 0; i < 36; ++i) {
        if (labl[i]) {
            labl[i]->setObjectName(QStringLiteral("labl(%1)").arg(i));
        }
    }

    // Buttons under the settings area.
    autorange = new QPushButton("Auto Range");
    autozero = new QPushButton("Auto Zero");
    yauto = new QPushButton("Autoscale Y");
    xauto = new QPushButton("Autoscale X");
    static const char* const kMarkMove[5] = {"<<", "<", "Peak", ">", ">>"};
    for (int i = 0; i < 5; ++i) {
        markmove[i] = new QPushButton(QString::fromLatin1(kMarkMove[i]));
        markmove[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        markmove[i]->setMinimumWidth(24);
    }
    static const char* const kMeasControl[4] = {"Start", "Pause", "Continue", "Single"};
    for (int i = 0; i < 4; ++i) {
        meascontrol[i] = new QPushButton(QString::fromLatin1(kMeasControl[i]));
    }
    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    buttons->addWidget(autorange, 0, 0);
    buttons->addWidget(autozero, 0, 1);
    buttons->addWidget(yauto, 1, 0);
    buttons->addWidget(xauto, 1, 1);
    auto* marks = new QHBoxLayout;
    marks->setSpacing(2);
    marks->addWidget(markmove[0], 33);
    marks->addWidget(markmove[1], 33);
    marks->addWidget(markmove[2], 57);
    marks->addWidget(markmove[3], 33);
    marks->addWidget(markmove[4], 33);
    buttons->addLayout(marks, 2, 0, 1, 2);
    buttons->addWidget(meascontrol[0], 3, 0); // Start
    buttons->addWidget(meascontrol[1], 3, 1); // Pause
    buttons->addWidget(meascontrol[3], 4, 0); // Single
    buttons->addWidget(meascontrol[2], 4, 1); // Continue

    // The settings column keeps its natural width; the graph takes the rest.
    auto* leftArea = new QWidget;
    leftArea->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* left = new QVBoxLayout(leftArea);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(6);
    left->addWidget(panelStack_, 1);
    left->addLayout(buttons);

    // Graph and read-out lines.
    picbox = new PictureBox;
    picbox->setObjectName(QStringLiteral("picbox"));
    picbox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    picbox->setMinimumSize(417, 300);
    for (int i = 0; i < 5; ++i) {
        lablegraph[i] = new ReadoutLabel(QStringLiteral("lablegraph"));
        lablegraph[i]->setObjectName(QStringLiteral("lablegraph(%1)").arg(i));
        lablegraph[i]->setTextInteractionFlags(Qt::NoTextInteraction);
    }
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (auto* l : lablegraph) {
        l->setFont(mono);
    }
    badstate = new QLabel(QStringLiteral("BAD SETUP"));
    overload = new QLabel(QStringLiteral("OVERLOAD"));
    for (auto* l : {badstate, overload}) {
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("color: white; background: rgb(192,0,0); "
                                        "font-weight: bold; padding: 0 4px;"));
        l->setMinimumWidth(81);
        l->hide();
    }
    badstate->setObjectName(QStringLiteral("badstate"));
    overload->setObjectName(QStringLiteral("overload"));

    auto* right = new QGridLayout;
    right->setVerticalSpacing(1);
    right->addWidget(lablegraph[0], 0, 0, 1, 2);
    auto* graphFrame = new QFrame;
    graphFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* graphLayout = new QVBoxLayout(graphFrame);
    graphLayout->setContentsMargins(1, 1, 1, 1);
    graphLayout->addWidget(picbox);
    right->addWidget(graphFrame, 1, 0, 1, 2);
    right->addWidget(lablegraph[1], 2, 0, 1, 2);
    right->addWidget(lablegraph[2], 3, 0, 1, 2);
    right->addWidget(lablegraph[3], 4, 0, 1, 2);
    right->addWidget(lablegraph[4], 5, 0);
    right->addWidget(badstate, 5, 1); // both at one place
    right->addWidget(overload, 5, 1);
    right->setRowStretch(1, 1);
    right->setColumnStretch(0, 1);

    auto* central = new QWidget;
    auto* main = new QHBoxLayout(central);
    main->setContentsMargins(8, 8, 8, 8);
    main->setSpacing(8);
    main->addWidget(leftArea, 0);
    main->addLayout(right, 1);
    setCentralWidget(central);

    buildMenus();

    cal = new CalWindow(this);
    cal->hide();

    resize(760, 560);
}

void MainForm::buildMenus() {
    // Every menu and item has an access key (the underlined letter); the captions read as
    // designed.
    medit = menuBar()->addMenu(QStringLiteral("&Edit"));
    editmenu[0] = medit->addAction(QStringLiteral("Copy &graph"));
    editmenu[1] = medit->addAction(QStringLiteral("Copy &Caption"));

    mcontrol = menuBar()->addMenu(QStringLiteral("&Control"));
    static const char* const kPanels[8] = {"&Input",   "&Acquisition", "&Trigger", "&Measurement",
                                           "&Display", "Mar&ker",      "C&lock",   "Dia&gnostics"};
    for (int i = 0; i < 8; ++i) {
        controlmenu[i] = mcontrol->addAction(QString::fromLatin1(kPanels[i]));
    }
    controlmenu[7]->setVisible(false);
    bar = mcontrol->addSeparator();
    selftest = mcontrol->addAction(QStringLiteral("&Self Test"));

    mreset = menuBar()->addMenu(QStringLiteral("&Reset"));
    resetmenu[0] = mreset->addAction(QStringLiteral("&Soft Reset"));
    resetmenu[1] = mreset->addAction(QStringLiteral("&Hard Reset"));

    mhelp = menuBar()->addMenu(QStringLiteral("&Help"));
    hlp = mhelp->addAction(QStringLiteral("ZRQ7010 &Help"));
    about = mhelp->addAction(QStringLiteral("&About"));
}

} // namespace zr

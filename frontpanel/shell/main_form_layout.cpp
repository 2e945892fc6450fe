// Building the main window: panels, buttons, graph, read-out lines, menus.
// Nothing here runs a handler: lists are filled before any handler is wired.
#include "shell/main_form.h"

#include "common/panel_layout.h"
#include "shell/keyboard.h"
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

// The panels by Control-menu index, each with its access key marked: the menu items, and
// without the mark the captions of the panels' frames.
constexpr const char* kPanelItems[8] = {"&Input",   "&Acquisition", "&Trigger", "&Measurement",
                                        "&Display", "Mar&ker",      "C&lock",   "Dia&gnostics"};

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

void MainForm::buildWindow() {
    setWindowTitle(QStringLiteral("ZRQ7010A Front Panel"));

    buildFields();

    panelStack_ = new QStackedWidget;
    for (std::size_t i = 0; i < Frame1.size(); ++i) {
        Frame1[i] = new QGroupBox(QString::fromLatin1(kPanelItems[i]).remove(QLatin1Char('&')));
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

    for (std::size_t i = 0; i < labl.size(); ++i) {
        if (labl[i]) {
            labl[i]->setObjectName(QStringLiteral("labl(%1)").arg(i));
        }
    }

    // Buttons under the settings area (each subsystem made its own with its panel).
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
    for (std::size_t i = 0; i < lablegraph.size(); ++i) {
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
    buildStatusLine();
    setUpKeyboard(*this);

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
    medit->addSeparator();
    savepicture = medit->addAction(QStringLiteral("Save &Picture…"));
    exportdata = medit->addAction(QStringLiteral("&Export Data…"));

    mcontrol = menuBar()->addMenu(QStringLiteral("&Control"));
    for (std::size_t i = 0; i < controlmenu.size(); ++i) {
        controlmenu[i] = mcontrol->addAction(QString::fromLatin1(kPanelItems[i]));
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

// The Display and Marker panels, the autoscale and marker buttons under the
// settings area, and the wiring of the display controls: lists, buttons, the
// Edit menu's copies and saves, and the mouse on the graph.
#include "settings/numeric_fields.h"
#include "shell/main_form.h"
#include "common/panel_layout.h"
#include "common/qt_text.h"
#include "shell/picture_box.h"
#include "common/wiring.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <string_view>

namespace zr {

namespace {

constexpr std::array<std::string_view, 3> kYPosEntries = {"Top", "Center", "Bottom"};
constexpr std::array<std::string_view, 3> kXPosEntries = {"Left", "Center", "Right"};
constexpr std::array<std::string_view, 3> kMarkerModeEntries = {"Off", "On", "Noise"};
constexpr std::array<std::string_view, 5> kMarkMoveCaptions = {"<<", "<", "Peak", ">", ">>"};

// A button that loads a field from the marker ("<-").
QPushButton* loadButton() {
    auto* b = new QPushButton("<-");
    b->setFixedWidth(32);
    return b;
}

} // namespace

QWidget* MainForm::buildPanelDisplay() {
    auto* panel = Frame1[4];
    Rows r = rowsOf(panel);
    ypos = makeList(kYPosEntries);
    xpos = makeList(kXPosEntries);
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
    labl[26] = makeLabel(kFieldCaptions[9]);
    lablyunits = new QLabel("Volts");
    labl[30] = makeLabel(kFieldCaptions[12]);
    lablxunits = new QLabel("Hz");
    r.add(unitRow(labl[26], lablyunits), txt[9]);
    r.add(labl[27] = makeLabel(kFieldCaptions[10]), txt[10]);
    r.add(labl[28] = new QLabel("Y-Ref Position"), ypos);
    r.add(labl[29] = makeLabel(kFieldCaptions[11]), txt[11]);
    r.add(unitRow(labl[30], lablxunits), txt[12]);
    r.add(labl[31] = makeLabel(kFieldCaptions[13]), txt[13]);
    r.add(labl[32] = new QLabel("X-Ref Position"), xpos);
    r.add(labl[33] = makeLabel(kFieldCaptions[14]), txt[14]);
    r.add(nullptr, xautoflag);
    r.finish();

    yauto = new QPushButton("Autoscale Y");
    xauto = new QPushButton("Autoscale X");
    return panel;
}

QWidget* MainForm::buildPanelMarker() {
    auto* panel = Frame1[5];
    Rows r = rowsOf(panel);
    markermode = makeList(kMarkerModeEntries);
    r.add(labl[34] = new QLabel("Mode"), markermode);
    r.add(Label2 = makeLabel(kFieldCaptions[0]), txt[0]);

    Frame2 = new QGroupBox("Relative");
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* g = new QGridLayout(Frame2);
    g->setContentsMargins(6, 6, 6, 6);
    for (int row = 0; row < 2; ++row) {
        const auto i = static_cast<std::size_t>(row);
        markrel[i] = new QCheckBox(toQ(kFieldCaptions[15 + i]));
        markrelload[i] = loadButton();
        g->addWidget(markrel[i], row, 0);
        g->addWidget(txt[15 + i], row, 1);
        g->addWidget(markrelload[i], row, 2);
    }
    g->setColumnStretch(1, 1);
    r.span(Frame2);

    markstepload = loadButton();
    auto* step = new QWidget;
    auto* h = new QHBoxLayout(step);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(txt[17], 1);
    h->addWidget(markstepload);
    r.add(labl[35] = makeLabel(kFieldCaptions[17]), step);
    r.finish();

    for (std::size_t i = 0; i < markmove.size(); ++i) {
        markmove[i] = new QPushButton(toQ(kMarkMoveCaptions[i]));
        markmove[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        markmove[i]->setMinimumWidth(24);
    }
    return panel;
}

void MainForm::wireDisplay(const Wiring& w) {
    w.lists({
        ZR_WIRE(ypos, ypos_Click),
        ZR_WIRE(xpos, xpos_Click),
        ZR_WIRE(markermode, markermode_Click),
    });
    w.buttons({
        ZR_WIRE(yauto, yauto_Click),
        ZR_WIRE(xauto, xauto_click),
        ZR_WIRE(markstepload, markstepload_Click),
    });
    w.indexed(markmove, "markmove_Click", &MainForm::markmove_Click);
    w.indexed(markrelload, "markrelload_Click", &MainForm::markrelload_Click);
    w.indexed(editmenu, "editmenu_Click", &MainForm::editmenu_Click);
    w.items({
        ZR_WIRE(savepicture, savepicture_Click),
        ZR_WIRE(exportdata, exportdata_Click),
    });

    picbox->setMouseDown([this](int b, int shift, double x, double y) {
        dispatch(QStringLiteral("picbox_MouseDown"), [&] { picbox_MouseDown(b, shift, x, y); });
    });
    picbox->setWheel([this](double col, double steps) {
        dispatch(QStringLiteral("picbox_Wheel"), [&] { picbox_Wheel(col, steps); });
    });
    picbox->setDrag(
        [this](double dcol) { dispatch(QStringLiteral("picbox_Pan"), [&] { picbox_Pan(dcol); }); });
    // A new picture size: the block on show is drawn again at that size, so a paused graph
    // is not left stretched (a running loop draws its next block at the new size anyway).
    connect(picbox, &PictureBox::resized, this, [this] {
        if (drawCount_ > 0 && !unloading) {
            dispatch(QStringLiteral("drawgraph"), [this] { drawgraph(); });
        }
    });
}

} // namespace zr

// Marker handlers of the main window and the clipboard copy.
//
// The positions come from the display library (marker.h); the handlers only
// move the current mode's values, show them in their text fields and redraw
// where the marker panel asks for it. markx is never limited here: only the
// drawing holds the marker on the first or last point.
#include "display/axes.h"
#include "display/graph.h"
#include "display/marker.h"
#include "common/number_text.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <span>
#include <string>

namespace zr {

namespace {

void showNumber(QLineEdit* field, double value) {
    field->setText(QString::fromStdString(formatNumber(value)));
}

} // namespace

void MainForm::markermode_Click() {
    const int index = markermode->currentIndex();
    // No selection (a refilled list) leaves the mode as it is.
    if (index >= 0)
        markmode = static_cast<std::int16_t>(index);
}

void MainForm::markmove_Click(int index) {
    checkModeIndex(modeindex);
    const auto mode = static_cast<std::size_t>(modeindex);
    double& x = markx[mode];
    switch (index) {
    case 0:
        x -= markstep[mode];
        break;
    case 1:
        x -= xstep;
        break;
    case 2:
        x = peakMarkX(dispdata, npoints, xstart, xstep);
        break;
    case 3:
        x += xstep;
        break;
    case 4:
        x += markstep[mode];
        break;
    default:
        return;
    }
    showNumber(txt[0], x);
    drawgraph();
}

void MainForm::picbox_MouseDown(int, int, double x, double) {
    checkModeIndex(modeindex);
    const auto mode = static_cast<std::size_t>(modeindex);
    markx[mode] = mouseMarkX(x, xperdiv[mode], xstart, xstep, npoints);
    showNumber(txt[0], markx[mode]);
    if (markmode != 0)
        drawgraph();
}

void MainForm::markrelload_Click(int index) {
    checkModeIndex(modeindex);
    const auto mode = static_cast<std::size_t>(modeindex);
    if (index == 0) {
        relx[mode] = markx[mode];
        showNumber(txt[15], relx[mode]);
    } else if (index == 1) {
        rely[mode] = markerRelY(markx[mode], dispdata, xstart, xstep, npoints);
        showNumber(txt[16], rely[mode]);
    }
}

void MainForm::markstepload_Click() {
    checkModeIndex(modeindex);
    const auto mode = static_cast<std::size_t>(modeindex);
    markstep[mode] = markx[mode];
    showNumber(txt[17], markstep[mode]);
}

void MainForm::editmenu_Click(int index) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return;
    clipboard->clear();
    if (index == 0) {
        clipboard->setImage(picbox->image());
    } else if (index == 1) {
        presentGraph(); // the read-outs of the latest block
        std::array<std::string, 5> lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = lablegraph[i]->text().toStdString();
        clipboard->setText(QString::fromStdString(captionText(lines)));
    }
}

} // namespace zr

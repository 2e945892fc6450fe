// Mouse zoom and pan of the graph's x axis. The new X-Ref and X-Per Div go through the display
// fields exactly as Autoscale X delivers its results, so the read-outs, the mode's display
// setup and the driver see what typing the values would do.
#include "shell/main_form.h"

#include "common/qt_text.h"
#include "display/view_zoom.h"
#include "shell/picture_box.h"

#include <QLineEdit>

namespace zr {

void MainForm::applyXScale(double ref, std::optional<double> perdiv) {
    txt[12]->setText(numberText(ref));
    if (perdiv) {
        txt[13]->setText(numberText(*perdiv));
        txt_lostfocus(13);
    }
    txt_lostfocus(12);
}

void MainForm::picbox_Wheel(double col, double steps) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    const GraphFrame f = graphFrame(*this, modeindex);
    const double x = xAtColumn(f, col, picbox->image().width());
    const XScale z = zoomXAbout({xref[m], xperdiv[m]}, x, steps);
    applyXScale(z.xref, z.xperdiv);
    redrawWhilePaused();
}

void MainForm::picbox_Pan(double dcol) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    const GraphFrame f = graphFrame(*this, modeindex);
    applyXScale(panXRef(f, xref[m], dcol, picbox->image().width()), std::nullopt);
    redrawWhilePaused();
}

void MainForm::redrawWhilePaused() {
    // A running loop shows the new axes right after its yield; a paused graph is drawn again
    // from the block on show.
    if (stopflag && drawCount_ > 0 && !unloading)
        drawgraph();
}

} // namespace zr

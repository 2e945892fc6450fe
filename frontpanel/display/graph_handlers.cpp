// Graph, axes and autoscale handlers of the main window.
#include "shell/main_form.h"
#include "common/qt_text.h"

#include "display/axes.h"
#include "display/engformat.h"
#include "display/graph.h"
#include "common/number_text.h"
#include "settings/settings_lists.h"
#include "shell/picture_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <span>

namespace zr {

namespace {

void setCaption(QLabel* label, const std::string& text) {
    const QString caption = QString::fromStdString(text);
    if (label->text() != caption) {
        label->setText(caption);
    }
}

} // namespace

XAxisInputs::ResampleSetup MainForm::resampleSetup() const {
    XAxisInputs::ResampleSetup s;
    s.blocklen = blocklen;
    s.fs = selectedSampleRate();
    s.option = resampmode[1]->isChecked() ? 1 : resampmode[2]->isChecked() ? 2 : 0;
    s.rateindex = resampindex;
    return s;
}

XAxisInputs MainForm::axisInputs(bool blockOnShow) const {
    XAxisInputs a;
    a.modeindex = modeindex;
    a.datatypeindex = datatypeindex;
    a.blocklen = blocklen;
    a.fs = selectedSampleRate();
    a.clockfreq = clockfreq;
    a.centerfrac = centerfrac;
    a.histmin = histmin;
    a.histmax = histmax;
    a.nbins = selectedBins();
    a.resampGaussian = resampmode[1]->isChecked();
    a.resampFlat = resampmode[2]->isChecked();
    // The block on show came out of the resampler under the settings in force: keep its
    // spacing and count, so a redraw between two blocks does not stretch it. After a change of
    // block size, sample rate or resampling, the axis follows the new settings instead.
    if (blockOnShow && lastResampled_ && lastResampledSetup_ == resampleSetup()) {
        a.resampled = lastResampled_;
    }
    return a;
}

void MainForm::drawgraph() {
    StageTimer t(looptiming != nullptr ? &looptiming->drawNs : nullptr);
    GraphInputs in;
    in.modeindex = modeindex;
    in.dispdata = std::span<const float>(dispdata);
    in.avgmode = avgmode;
    in.avgcount = avgcount;
    in.windowindex = windowindex;
    in.markrelx = markrel[0]->isChecked();
    in.markrely = markrel[1]->isChecked();
    if (relabel) {
        in.axis = axisInputs();
    }
    in.colours.background = picbox->backColor().rgb();
    in.colours.foreground = picbox->foreColor().rgb();

    const GraphTexts texts = zr::drawgraph(*this, in, picbox->image());
    if (texts.axes) {
        for (int i = 0; i < 3; ++i) {
            setGraphCaption(i, (*texts.axes)[static_cast<std::size_t>(i)]);
        }
    }
    setGraphCaption(3, texts.marker);
    setGraphCaption(4, texts.averages);

    // The picture's user coordinates (mouse positions) follow the same frame the graph was
    // drawn in.
    const GraphFrame f = graphFrame(*this, modeindex);
    picbox->setScale(f.L, f.T, f.L + f.width(), f.T - f.height());
    showGraph();
    ++drawCount_;
}

void MainForm::showAxisLabels(const AxisLabels& labels) {
    for (int i = 0; i < 3; ++i) {
        setGraphCaption(i, labels[static_cast<std::size_t>(i)]);
    }
    showGraph();
}

void MainForm::setGraphCaption(int index, const std::string& text) {
    const auto i = static_cast<std::size_t>(index);
    captions_[i] = text;
    captionsPending_[i] = true;
}

void MainForm::showGraph() {
    const QScreen* screen = picbox->screen();
    const double hz = screen != nullptr ? screen->refreshRate() : 0.0;
    const qint64 refreshMs = hz >= 1.0 && hz <= 1000.0 ? static_cast<qint64>(1000.0 / hz) : 16;
    const qint64 since = presented_.isValid() ? presented_.elapsed() : refreshMs;
    if (stopflag || since >= refreshMs) {
        presentGraph();
        return;
    }
    if (presentTimer_ == nullptr) {
        presentTimer_ = new QTimer(this);
        presentTimer_->setSingleShot(true);
        connect(presentTimer_, &QTimer::timeout, this, [this] { presentGraph(); });
    }
    if (!presentTimer_->isActive()) {
        presentTimer_->start(static_cast<int>(refreshMs - since));
    }
}

void MainForm::presentGraph() {
    if (presentTimer_ != nullptr) {
        presentTimer_->stop();
    }
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        if (captionsPending_[i]) {
            captionsPending_[i] = false;
            setCaption(lablegraph[i], captions_[i]);
        }
    }
    picbox->update();
    presented_.start();
}

void MainForm::labelaxes() {
    showAxisLabels(zr::labelaxes(*this, axisInputs()));
}

void MainForm::engformat(double value, int digits, QString& text) {
    text = QString::fromStdString(zr::engformat(value, digits));
}

void MainForm::autoscaley() {
    const std::optional<YAutoResult> r = zr::autoscaley(
        std::span<const float>(dispdata), npoints, ygrids[static_cast<std::size_t>(modeindex)],
        yrefpos[static_cast<std::size_t>(modeindex)]);
    if (!r) {
        return; // all points equal: nothing changes
    }
    txt[9]->setText(numberText(r->yref));
    txt_lostfocus(9);
    txt[10]->setText(numberText(r->yperdiv));
    txt_lostfocus(10);
}

void MainForm::xauto_click() {
    // The span comes from the block size and the sample period, never from the points a
    // resampled block happened to have.
    showAxisLabels(zr::labelaxes(*this, axisInputs(false)));
    const XAutoResult r =
        xautoscale(*this, modeindex, leadingNumber(txt[14]->text().toStdString()));
    applyXScale(r.xref, r.xperdiv);
}

void MainForm::yauto_Click() {
    autoscaley();
    relabel = true;
}

void MainForm::xpos_Click() {
    selectXPos(*this, modeindex, xpos->currentIndex());
    if (xautoflag->isChecked()) {
        xauto_click();
    }
}

void MainForm::ypos_Click() {
    selectYPos(*this, modeindex, ypos->currentIndex());
}

} // namespace zr

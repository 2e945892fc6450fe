// The Measurement panel: mode, averaging and the three mode-dependent
// sub-panels (resampling, spectrum window, histogram), and the wiring of the
// measurement controls, the measurement buttons included.
#include "measure/measure_lists.h"
#include "settings/numeric_fields.h"
#include "shell/main_form.h"
#include "common/panel_layout.h"
#include "common/qt_text.h"
#include "common/wiring.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace zr {

QWidget* MainForm::buildPanelMeasurement() {
    auto* panel = Frame1[3];
    Rows r = rowsOf(panel);
    measmode = makeList(kMeasModeEntries);
    averaging = makeList(kAveragingEntries);
    r.add(labl[14] = new QLabel("Mode"), measmode);
    r.add(labl[15] = new QLabel("Averaging"), averaging);
    r.add(labl[16] = makeLabel(kFieldCaptions[3]), txt[3]);

    // Three mode-dependent sub-panels at one place; one is in front.
    auto* subStack = new QStackedWidget;
    for (std::size_t i = 0; i < meascont.size(); ++i) {
        meascont[i] = new QWidget;
        meascont[i]->setObjectName(QStringLiteral("meascont(%1)").arg(i));
        subStack->addWidget(meascont[i]);
    }

    // meascont(0): filter and resampling options
    {
        auto* lay = new QVBoxLayout(meascont[0]);
        lay->setContentsMargins(0, 0, 0, 0);
        Frame4 = new QGroupBox("Filter && Resample");
        Frame4->setObjectName(QStringLiteral("Frame4"));
        auto* f = new QGridLayout(Frame4);
        f->setContentsMargins(6, 6, 6, 6);
        for (int row = 0; row < 3; ++row) {
            const auto i = static_cast<std::size_t>(row);
            resampmode[i] = new QRadioButton(toQ(kResampModeCaptions[i]));
            f->addWidget(resampmode[i], row, 0, 1, 2);
        }
        resampmode[0]->setChecked(true);
        resamp = makeList(kResampEntries);
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
        window = makeList(kWindowEntries);
        s.add(labl[17] = new QLabel("Window"), window);
        s.finish();
    }
    // meascont(2): histogram
    {
        Rows s = rowsOf(meascont[2]);
        s.grid->setContentsMargins(0, 0, 0, 0);
        histbins = makeList(kHistBinsEntries);
        autohist = new QPushButton("Auto Limit Set");
        s.add(labl[18] = new QLabel("Histogram Bins"), histbins);
        s.add(labl[19] = makeLabel(kFieldCaptions[4]), txt[4]);
        s.add(labl[20] = makeLabel(kFieldCaptions[5]), txt[5]);
        s.add(nullptr, autohist);
        s.finish();
    }
    r.span(subStack);
    r.finish();

    for (std::size_t i = 0; i < meascontrol.size(); ++i) {
        meascontrol[i] = new QPushButton(toQ(kMeasControlCaptions[i]));
    }
    return panel;
}

void MainForm::wireMeasurement(const Wiring& w) {
    w.lists({
        ZR_WIRE(measmode, measmode_Click),
        ZR_WIRE(averaging, averaging_Click),
        ZR_WIRE(resamp, resamp_Click),
        ZR_WIRE(window, window_Click),
        ZR_WIRE(histbins, histbins_Click),
    });
    w.buttons({ZR_WIRE(autohist, autohist_Click)});
    w.indexed(resampmode, "resampmode_Click", &MainForm::resampmode_Click);
    w.indexed(meascontrol, "meascontrol_Click", &MainForm::meascontrol_Click);
}

} // namespace zr

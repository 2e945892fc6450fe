// The Diagnostics panel: control register lists, "Show Cal" and the "Trim
// DAC" frame, and the wiring of the diagnostic controls and the Self Test item.
#include "diag/diag_registers.h"
#include "shell/main_form.h"
#include "common/panel_layout.h"
#include "common/wiring.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zr {

QWidget* MainForm::buildPanelDiagnostics() {
    auto* panel = Frame1[7];
    Rows r = rowsOf(panel);
    calmode = makeList(kCalModeEntries);
    dataout = makeList(kDataOutEntries);
    bumping = makeList(kBumpingEntries);
    tau = makeList(kTauEntries);
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
    trimdac = makeList(kTrimDacEntries);
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
    r.span(Frame3);
    r.finish();
    return panel;
}

void MainForm::wireDiagnostics(const Wiring& w) {
    w.lists({
        ZR_WIRE(calmode, calmode_Click),
        ZR_WIRE(dataout, dataout_Click),
        ZR_WIRE(bumping, bumping_Click),
        ZR_WIRE(tau, tau_Click),
        ZR_WIRE(trimdac, trimdac_Click),
    });
    w.buttons({ZR_WIRE(Command1, Command1_Click)});
    w.items({ZR_WIRE(selftest, selftest_Click)});
    // The trim value is written on Enter only; leaving the field does nothing.
    adc1entry->installEventFilter(new KeyFilter(
        adc1entry,
        [this](int& keyAscii) {
            dispatch(QStringLiteral("adc1entry_KeyPress"),
                     [this, &keyAscii] { adc1entry_KeyPress(keyAscii); });
        },
        nullptr));
}

} // namespace zr

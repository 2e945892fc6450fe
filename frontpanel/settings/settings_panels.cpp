// The Input, Acquisition, Trigger and Clock panels: their controls, laid out
// in rows, and the wiring of each control to its handler.
#include "settings/numeric_fields.h"
#include "settings/settings_lists.h"
#include "shell/main_form.h"
#include "common/panel_layout.h"
#include "common/wiring.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zr {

void MainForm::buildFields() {
    for (std::size_t i = 0; i < txt.size(); ++i) {
        const std::string_view first = kFieldInitialTexts[i];
        txt[i] = makeText(QString::fromLatin1(first.data(), static_cast<qsizetype>(first.size())));
        txt[i]->setObjectName(QStringLiteral("txt(%1)").arg(i));
    }
}

QWidget* MainForm::buildPanelInput() {
    auto* panel = Frame1[0];
    Rows r = rowsOf(panel);
    range = makeList(kRangeEntries);
    coupling = makeList(kCouplingEntries);
    signal = makeList(kSignalEntries);
    ground = makeList(kGroundEntries);
    aliasfilt = makeList(kAliasFilterEntries);
    r.add(labl[0] = new QLabel("Range"), range);
    r.add(labl[1] = new QLabel("Coupling"), coupling);
    r.add(labl[2] = new QLabel("Signal"), signal);
    r.add(labl[3] = new QLabel("Ground"), ground);
    r.add(labl[5] = new QLabel("Alias Filter"), aliasfilt);
    r.finish();

    autorange = new QPushButton("Auto Range");
    autozero = new QPushButton("Auto Zero");
    return panel;
}

QWidget* MainForm::buildPanelAcquisition() {
    auto* panel = Frame1[1];
    Rows r = rowsOf(panel);
    datatype = makeList(kDataTypeEntries);
    bandwidth = makeList(QStringList()); // filled by fillbwlist
    sampfreq = makeList(QStringList());  // filled by fillfslist
    blocksize = makeList(kBlockSizeEntries);
    precision = makeList(kPrecisionEntries);
    appendstatus = new QCheckBox("Overload linked to Block");
    r.add(labl[8] = new QLabel("Data type"), datatype);
    r.add(labl[9] = new QLabel("Bandwidth"), bandwidth);
    r.add(labl[10] = makeLabel(kFieldCaptions[2]), txt[2]);
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
    trigsource = makeList(kTrigSourceEntries);
    trigslope = makeList(kTrigSlopeEntries);
    r.add(nullptr, triggen);
    r.add(labl[21] = new QLabel("Type"), trigsource);
    r.add(labl[22] = makeLabel(kFieldCaptions[6]), txt[6]);
    r.add(labl[23] = makeLabel(kFieldCaptions[7]), txt[7]);
    r.add(labl[24] = new QLabel("Slope"), trigslope);
    r.add(labl[25] = makeLabel(kFieldCaptions[8]), txt[8]);
    r.finish();
    return panel;
}

QWidget* MainForm::buildPanelClock() {
    auto* panel = Frame1[6];
    Rows r = rowsOf(panel);
    syncmode = makeList(kSyncModeEntries);
    clocksource = makeList(kClockSourceEntries);
    mastermode = makeList(kMasterModeEntries);
    slowclock = new QCheckBox("Slow Clock");
    r.add(Label3 = new QLabel("Sync Mode"), syncmode);
    r.add(labl[6] = new QLabel("Source"), clocksource);
    r.add(Label9 = new QLabel("Master Mode"), mastermode);
    r.add(nullptr, slowclock);
    r.add(labl[7] = makeLabel(kFieldCaptions[1]), txt[1]);
    r.finish();
    return panel;
}

void MainForm::wireSettingsPanels(const Wiring& w) {
    w.lists({
        ZR_WIRE(range, range_click),
        ZR_WIRE(coupling, coupling_Click),
        ZR_WIRE(signal, signal_Click),
        ZR_WIRE(ground, ground_Click),
        ZR_WIRE(aliasfilt, aliasfilt_Click),
        ZR_WIRE(datatype, datatype_Click),
        ZR_WIRE(bandwidth, bandwidth_Click),
        ZR_WIRE(sampfreq, sampfreq_Click),
        ZR_WIRE(blocksize, blocksize_click),
        ZR_WIRE(precision, precision_Click),
        ZR_WIRE(trigsource, trigsource_Click),
        ZR_WIRE(trigslope, trigslope_Click),
        ZR_WIRE(syncmode, syncmode_Click),
        ZR_WIRE(clocksource, clocksource_Click),
        ZR_WIRE(mastermode, mastermode_Click),
    });
    w.buttons({
        ZR_WIRE(appendstatus, appendStatus_Click),
        ZR_WIRE(triggen, triggen_Click),
        ZR_WIRE(slowclock, slowclock_Click),
        ZR_WIRE(autorange, autorange_Click),
        ZR_WIRE(autozero, autozero_Click),
    });
    // Every text field of every panel: typed keys and the commit on leaving the field.
    for (int i = 0; i < kFieldCount; ++i) {
        const QString keyName = QStringLiteral("txt_KeyPress(%1)").arg(i);
        const QString focusName = QStringLiteral("txt_lostfocus(%1)").arg(i);
        txt[static_cast<std::size_t>(i)]->installEventFilter(new KeyFilter(
            txt[static_cast<std::size_t>(i)],
            [this, i, keyName](int& keyAscii) {
                dispatch(keyName, [this, i, &keyAscii] { txt_KeyPress(i, keyAscii); });
            },
            [this, i, focusName] { dispatch(focusName, [this, i] { txt_lostfocus(i); }); }));
    }
}

} // namespace zr

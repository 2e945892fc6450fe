// The preset of all settings: puts the panel, and through the handlers the
// instrument, into one defined state. It makes no driver call of its own;
// every list selection and check box goes through the control mechanism, so
// each handler runs exactly once also when the selection does not change,
// and running the preset again sends the same settings again.
#include "shell/main_form.h"

#include "common/controls.h"
#include "measure/processing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <array>

namespace zr {

namespace {

// Texts the preset writes into txt(0) .. txt(17).
constexpr std::array<const char*, 18> kPresetFieldTexts = {"0", "20480000", "0",  "10", "-1", "1",
                                                           "0", "-60",      "0",  "0",  "10", "10",
                                                           "0", "1024000",  "10", "0",  "0",  "0"};

} // namespace

void MainForm::presetall() {
    // The Measurement panel in front.
    controlmenu_click(3);

    // Display setup of every mode.
    presetDisplaySetup(*this);

    // The equaliser of "Flat Response".
    fillfirkernel(firkernel);

    // Field texts.
    for (std::size_t i = 0; i < kPresetFieldTexts.size(); ++i) {
        txt[i]->setText(QString::fromLatin1(kPresetFieldTexts[i]));
    }

    // Trigger generation on. The box is set without raising its click,
    // and its handler runs once here, so one preset sends it exactly once.
    triggen->setChecked(true);
    triggen_Click();

    // Diagnostics, mode and clock (clockfreq before the fields).
    selectEntry(bumping, 1);
    selectEntry(tau, 0);
    selectEntry(trimdac, 1);
    selectEntry(measmode, 1);
    selectEntry(clocksource, 0);

    // Commit every field against the Spectrum slots and the new clock.
    for (int index = 0; index < 18; ++index) {
        txt_lostfocus(index);
    }

    // Lists, in an order in which later handlers find what earlier ones set.
    selectEntry(sampfreq, 0);
    selectEntry(blocksize, 5);
    selectEntry(range, 0);
    selectEntry(coupling, 0);
    selectEntry(ground, 0);
    selectEntry(signal, 1);
    selectEntry(aliasfilt, 1);
    selectEntry(datatype, 0);
    selectEntry(precision, 0);
    selectEntry(averaging, 0);
    selectEntry(resamp, 0);
    selectEntry(calmode, 7);
    selectEntry(dataout, 0);
    selectEntry(window, 2);
    selectEntry(histbins, 4);
    selectEntry(trigsource, 4);
    selectEntry(trigslope, 0);
    selectEntry(markermode, 1);
    selectEntry(syncmode, 0);
    selectEntry(mastermode, 0);
    selectEntry(bandwidth, 0);
    selectEntry(ypos, 0);
    selectEntry(xpos, 0);

    // X autoscale on change; normal clock.
    setChecked(xautoflag, true);
    setChecked(slowclock, false);
}

} // namespace zr

// Trigger and clock settings handlers of the main window.
#include "shell/main_form.h"
#include "common/controls.h"

#include "driver/instrument.h"
#include "settings/settings_lists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace zr {

void MainForm::trigsource_Click() {
    trigtypeindex = selection(trigsource);
    zrq7010->trigger_type(instr, trigtypeindex);
}

void MainForm::trigslope_Click() {
    trigslopeindex = selection(trigslope);
    zrq7010->trigger_slope(instr, trigslopeindex);
}

void MainForm::triggen_Click() {
    zrq7010->trigger_gen(instr, triggen->isChecked() ? 1 : 0);
}

void MainForm::mastermode_Click() {
    masterindex = selection(mastermode);
    zrq7010->clock_master(instr, masterindex);
}

void MainForm::syncmode_Click() {
    syncindex = selection(syncmode);
    zrq7010->clock_multi_sync(instr, syncindex);
}

// A checked "Slow Clock" sends 0, an unchecked one 1.
void MainForm::slowclock_Click() {
    zrq7010->clock_dsp(instr, slowClockArgument(slowclock->isChecked()));
}

// The clock source fixes clockfreq, on which the centre-frequency fraction
// and the bandwidth and sample-rate texts depend.
void MainForm::clocksource_Click() {
    clockindex = selection(clocksource);
    clockfreq = clockFreqForSource(clockindex, txt[1]->text().toStdString());
    zrq7010->clock_source(instr, clockindex);
    fillfslist();
    txt_lostfocus(2); // the centre frequency as a fraction of the new clock
    fillbwlist();
    relabel = true;
}

} // namespace zr

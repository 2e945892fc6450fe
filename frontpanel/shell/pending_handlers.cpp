// Handlers and private procedures of the main window whose behaviour is not
// built yet. Each body moves to its subsystem's folder when that subsystem
// is built; until then the control is wired and does nothing.
#include "shell/main_form.h"

namespace zr {

// Preset, help, about, reset
void MainForm::presetall() {}
void MainForm::hlp_Click() {}
void MainForm::about_Click() {}
void MainForm::resetmenu_Click(int) {}

// Measurement loop, modes, resampling, simulated acquisition
void MainForm::measloop() {}
void MainForm::meascontrol_Click(int) {}
void MainForm::measmode_Click() {}
void MainForm::averaging_Click() {}
void MainForm::window_Click() {}
void MainForm::histbins_Click() {}
void MainForm::autohist_Click() {}
void MainForm::histbuild(const float*, int32_t, float*, int32_t, double, double) {}
void MainForm::resamp_Click() {}
void MainForm::resampmode_Click(int) {}
int32_t MainForm::simread(int32_t&, float*, int32_t&, int16_t&) {
    return 2;
}

// Display: graph, axes, number format, markers, clipboard
void MainForm::drawgraph() {}
void MainForm::labelaxes() {}
void MainForm::autoscaley() {}
void MainForm::engformat(double, int, QString& text) {
    text.clear();
}
void MainForm::xauto_click() {}
void MainForm::yauto_Click() {}
void MainForm::xpos_Click() {}
void MainForm::ypos_Click() {}
void MainForm::markermode_Click() {}
void MainForm::markmove_Click(int) {}
void MainForm::picbox_MouseDown(int, int, double, double) {}
void MainForm::markrelload_Click(int) {}
void MainForm::markstepload_Click() {}
void MainForm::editmenu_Click(int) {}

// Numeric entry fields
void MainForm::txt_lostfocus(int) {}

// Input settings
void MainForm::range_click() {}
void MainForm::coupling_Click() {}
void MainForm::ground_Click() {}
void MainForm::signal_Click() {}
void MainForm::aliasfilt_Click() {}
void MainForm::autorange_Click() {}
void MainForm::autozero_Click() {}

// Acquisition and filter settings
void MainForm::datatype_Click() {}
void MainForm::precision_Click() {}
void MainForm::blocksize_click() {}
void MainForm::bandwidth_Click() {}
void MainForm::sampfreq_Click() {}
void MainForm::appendStatus_Click() {}
void MainForm::fillbwlist() {}
void MainForm::fillfslist() {}

// Trigger and clock settings
void MainForm::trigsource_Click() {}
void MainForm::trigslope_Click() {}
void MainForm::triggen_Click() {}
void MainForm::mastermode_Click() {}
void MainForm::syncmode_Click() {}
void MainForm::slowclock_Click() {}
void MainForm::clocksource_Click() {}

// Diagnostics and calibration
void MainForm::calmode_Click() {}
void MainForm::dataout_Click() {}
void MainForm::bumping_Click() {}
void MainForm::tau_Click() {}
void MainForm::trimdac_Click() {}
void MainForm::adc1entry_KeyPress(int&) {}
void MainForm::selftest_Click() {}
void MainForm::Command1_Click() {}
void MainForm::showcaltable() {}

} // namespace zr

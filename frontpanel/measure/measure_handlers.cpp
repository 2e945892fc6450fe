// Measurement loop, measurement buttons and measurement-mode handlers of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::measloop() {}
void MainForm::meascontrol_Click(int) {}
void MainForm::measmode_Click() {}
void MainForm::averaging_Click() {}
void MainForm::window_Click() {}
void MainForm::histbins_Click() {}
void MainForm::autohist_Click() {}
void MainForm::histbuild(const float*, int32_t, float*, int32_t, double, double) {}
int32_t MainForm::simread(int32_t&, float*, int32_t&, int16_t&) {
    return 2;
}
} // namespace zr

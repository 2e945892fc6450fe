// Diagnostics panel handlers of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::calmode_Click() {}
void MainForm::dataout_Click() {}
void MainForm::bumping_Click() {}
void MainForm::tau_Click() {}
void MainForm::trimdac_Click() {}
void MainForm::adc1entry_KeyPress(int&) {}
} // namespace zr

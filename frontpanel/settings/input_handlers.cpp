// Input settings handlers of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::range_click() {}
void MainForm::coupling_Click() {}
void MainForm::ground_Click() {}
void MainForm::signal_Click() {}
void MainForm::aliasfilt_Click() {}
void MainForm::autorange_Click() {}
void MainForm::autozero_Click() {}
} // namespace zr

// Self test, calibration table and power-on save of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::selftest_Click() {}
void MainForm::Command1_Click() {}
void MainForm::showcaltable() {}
} // namespace zr

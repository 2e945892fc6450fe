// Trigger and clock settings handlers of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::trigsource_Click() {}
void MainForm::trigslope_Click() {}
void MainForm::triggen_Click() {}
void MainForm::mastermode_Click() {}
void MainForm::syncmode_Click() {}
void MainForm::slowclock_Click() {}
void MainForm::clocksource_Click() {}
} // namespace zr

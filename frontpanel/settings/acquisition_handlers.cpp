// Acquisition and filter settings handlers of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::datatype_Click() {}
void MainForm::precision_Click() {}
void MainForm::blocksize_click() {}
void MainForm::bandwidth_Click() {}
void MainForm::sampfreq_Click() {}
void MainForm::appendStatus_Click() {}
void MainForm::fillbwlist() {}
void MainForm::fillfslist() {}
} // namespace zr

// Marker handlers of the main window and the clipboard copy.
#include "shell/main_form.h"

namespace zr {


void MainForm::markermode_Click() {}
void MainForm::markmove_Click(int) {}
void MainForm::picbox_MouseDown(int, int, double, double) {}
void MainForm::markrelload_Click(int) {}
void MainForm::markstepload_Click() {}
void MainForm::editmenu_Click(int) {}
} // namespace zr

// Help, About and Reset.
#include "shell/main_form.h"

namespace zr {


void MainForm::hlp_Click() {}
void MainForm::about_Click() {}
void MainForm::resetmenu_Click(int) {}
} // namespace zr

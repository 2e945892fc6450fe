// Software resampling options of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::resamp_Click() {}
void MainForm::resampmode_Click(int) {}
} // namespace zr

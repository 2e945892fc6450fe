// Numeric entry fields of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::txt_lostfocus(int) {}
} // namespace zr

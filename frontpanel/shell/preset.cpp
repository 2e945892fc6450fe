// The preset of all settings.
#include "shell/main_form.h"

namespace zr {


void MainForm::presetall() {}
} // namespace zr

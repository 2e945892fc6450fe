// Graph, axes and autoscale handlers of the main window.
#include "shell/main_form.h"

namespace zr {


void MainForm::drawgraph() {}
void MainForm::labelaxes() {}
void MainForm::autoscaley() {}
void MainForm::engformat(double, int, QString& text) {
    text.clear();
}
void MainForm::xauto_click() {}
void MainForm::yauto_Click() {}
void MainForm::xpos_Click() {}
void MainForm::ypos_Click() {}
} // namespace zr

// Keyboard use of the main window: the shortcuts of shortcuts.h on their menu
// items and buttons, the Tab order, and the tooltips of control_tips.h.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace zr {

class MainForm;

struct NamedControl {
    std::string name; // as the handlers call the control: "range", "txt(6)", "markmove(2)"
    QWidget* widget;
};

// Every control that takes the focus, in Tab order: the panels in Control-menu order, each
// from top to bottom, then the buttons under the settings area row by row.
std::vector<NamedControl> controlsInTabOrder(MainForm& form);

// Shortcuts, Tab order and tooltips; run once the panels, buttons and menus exist.
void setUpKeyboard(MainForm& form);

} // namespace zr

// The keyboard shortcuts of the front panel, in one table: the user guide's
// "Keyboard use" section lists the same rows. Each shortcut works a menu item
// or a button by the control's name, so it runs that control's own handler.
#pragma once

#include <array>
#include <string_view>

namespace zr {

struct Shortcut {
    std::string_view keys;    // as QKeySequence reads it ("Ctrl+Shift+C")
    std::string_view control; // the item or button it works ("editmenu(1)", "xauto")
    std::string_view caption; // that control's caption
};

// Copies use Ctrl+Shift so that Ctrl+C and the other editing keys keep working in a text
// field; the marker keys use Alt so that the arrows keep moving in lists and fields.
inline constexpr std::array<Shortcut, 21> kShortcuts = {{
    {"Ctrl+Shift+G", "editmenu(0)", "Copy graph"},
    {"Ctrl+Shift+C", "editmenu(1)", "Copy Caption"},
    {"Ctrl+1", "controlmenu(0)", "Input"},
    {"Ctrl+2", "controlmenu(1)", "Acquisition"},
    {"Ctrl+3", "controlmenu(2)", "Trigger"},
    {"Ctrl+4", "controlmenu(3)", "Measurement"},
    {"Ctrl+5", "controlmenu(4)", "Display"},
    {"Ctrl+6", "controlmenu(5)", "Marker"},
    {"Ctrl+7", "controlmenu(6)", "Clock"},
    {"Ctrl+8", "controlmenu(7)", "Diagnostics"},
    {"F5", "meascontrol(0)", "Start"},
    {"F6", "meascontrol(1)", "Pause"},
    {"F7", "meascontrol(3)", "Single"},
    {"F8", "meascontrol(2)", "Continue"},
    {"Alt+Shift+Left", "markmove(0)", "<<"},
    {"Alt+Left", "markmove(1)", "<"},
    {"Alt+P", "markmove(2)", "Peak"},
    {"Alt+Right", "markmove(3)", ">"},
    {"Alt+Shift+Right", "markmove(4)", ">>"},
    {"Ctrl+Shift+Y", "yauto", "Autoscale Y"},
    {"Ctrl+Shift+X", "xauto", "Autoscale X"},
}};

// The keys of a control's shortcut, or "" when it has none.
constexpr std::string_view shortcutFor(std::string_view control) {
    for (const Shortcut& s : kShortcuts) {
        if (s.control == control) {
            return s.keys;
        }
    }
    return {};
}

} // namespace zr

// Tooltip texts of the window's controls: what each sets, in which unit, and
// its limits or step, taken from the field rules and the lists themselves.
// Plain text, no widgets; the window puts them on its controls when it is built.
#pragma once

#include <string>
#include <string_view>

namespace zr {

// The tooltip of the control with this name ("range", "txt(6)", "markmove(2)",
// "picbox"), its shortcut in brackets where it has one; "" for an unknown name.
std::string controlTip(std::string_view control);

// The limits of numeric field `index` (0..17) as the tooltip states them:
// "whole number, 1 to 50", "-131.32 to 7.15 in steps of 0.38 dB", "" when none.
std::string fieldLimitsText(int index);

} // namespace zr

// Form-level values of the main window that belong to start-up, shut-down
// and panel switching. Plain data, no widgets.
#pragma once

#include <QString>

#include <cstdint>

namespace zr {

class Instrument;

struct ShellState {
    // Resource descriptor of the session; "sim" in simulated mode.
    QString descriptor = QStringLiteral("VXI::192");
    // Session handle from zrq7010_init; 0 means simulated mode.
    int32_t instr = 0;
    // True while the Diagnostics panel Frame1(7) is in front.
    bool diagshown = false;
    // True once the window is being unloaded (closed) or the program is
    // ending. A measurement loop that finds it set after its yield must
    // return at once, without another pass or draw.
    bool unloading = false;
    // The instrument driver; every driver call goes through it, e.g.
    // zrq7010->diag_reg(instr, 1, 1812).
    Instrument* zrq7010 = nullptr;
};

} // namespace zr

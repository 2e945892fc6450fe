// Form-level values of the main window that belong to the graph, axes, markers and per-mode
// display setup.
// Plain data, no widgets: the main window inherits it, so handlers use the
// names directly, and tests can build it on its own.
//
// Values that the graph reads but other subsystems own (modeindex, dispdata,
// avgmode, avgcount, windowindex) are not here; drawgraph receives them in
// zr::GraphInputs (graph.h).
#pragma once

#include "measure_modes.h"

#include <array>
#include <cstdint>

namespace zr {

// One value per measurement mode, indexed by modeindex (0 time domain,
// 1 spectrum, 2 histogram).
using PerMode = std::array<double, 3>;
using PerModeIndex = std::array<std::int16_t, 3>;

// Number of values the displayed block can hold (indices 0..131072).
inline constexpr std::int32_t kMaxPoints = 131073;

struct DisplayState {
    // Axes and read-out lines must be recomputed (labelaxes) before the next draw.
    bool relabel = true;

    // The displayed block: x value of point 0, x distance between points, number of points.
    double xstart = 0.0;
    double xstep = 1.0;
    std::int32_t npoints = 1;

    // Display setup of each mode (values are the preset's).
    PerMode yref{0.0, 0.0, 0.0};
    PerMode yperdiv{1.0, 10.0, 0.1};
    PerMode ygrids{10.0, 10.0, 10.0};
    PerModeIndex yrefpos{1, 0, 2}; // 0 top, 1 centre, 2 bottom
    PerMode xref{0.0, 0.0, 0.0};
    PerMode xperdiv{5e-6, 1024000.0, 0.1};
    PerMode xgrids{10.0, 10.0, 10.0};
    PerModeIndex xrefpos{0, 0, 1}; // 0 left, 1 centre, 2 right

    // Marker of each mode: position, relative references, step of "<<" and ">>".
    PerMode markx{0.0, 0.0, 0.0};
    PerMode relx{0.0, 0.0, 0.0};
    PerMode rely{0.0, 0.0, 0.0};
    PerMode markstep{1e-6, 1000000.0, 1.0};

    // Entry last chosen in the lists xpos and ypos.
    std::int16_t xposindex = 0;
    std::int16_t yposindex = 0;

    // Marker mode: 0 off, 1 on, 2 noise.
    std::int16_t markmode = 1;
};

// Writes the per-mode display defaults (the twelve arrays except markx, relx
// and rely, which keep their values) as the preset of all settings does.
inline void presetDisplaySetup(DisplayState& s) {
    const DisplayState d;
    s.yref = d.yref;
    s.yperdiv = d.yperdiv;
    s.ygrids = d.ygrids;
    s.yrefpos = d.yrefpos;
    s.xref = d.xref;
    s.xperdiv = d.xperdiv;
    s.xgrids = d.xgrids;
    s.xrefpos = d.xrefpos;
    s.markstep = d.markstep;
}

} // namespace zr

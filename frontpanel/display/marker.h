// The graph's marker: which data point it reads, its read-out line, and the
// positions the marker controls compute (peak, mouse click, relative Y).
#pragma once

#include "display_state.h"

#include <cstdint>
#include <span>
#include <string>

namespace zr {

// The point of the displayed block the marker stands on.
struct MarkerPoint {
    double p = 0.0;         // point position (markx - xstart) / xstep, held to 0 .. npoints-1
    std::int32_t index = 0; // p rounded to the nearest point, a half to the even one
    double fx = 0.0;        // x value at p (markx itself inside the data range)
};

// markx outside the data stands on the first or last point. A position that
// is not a number (xstep 0 with markx at xstart) counts as point 0, and the
// index never leaves 0 .. npoints-1. npoints below 1 counts as 1.
MarkerPoint markerPoint(double markx, double xstart, double xstep, std::int32_t npoints);

// Equivalent noise bandwidth, in spectrum lines, of window 0 "Uniform",
// 1 "Hann", 2 "Gauss top", 3 "Flat top". Another index counts as "Uniform".
double noiseBandwidthFactor(int windowindex);

struct MarkerReadoutInputs {
    int modeindex = 0;
    std::int16_t markmode = 0;
    std::int16_t windowindex = 0;
    bool markrelx = false; // check box markrel(0) "X"
    bool markrely = false; // check box markrel(1) "Y"
};

struct MarkerReadout {
    bool shown = false; // markmode non-zero and there are data
    double linex = 0.0; // horizontal user coordinate of the marker line (fx / xperdiv)
    std::string text;   // lablegraph(3); empty when not shown
};

// The marker read-out and line position for the current mode (relative X and
// Y, noise normalisation in spectrum mode). markx is read, never changed.
MarkerReadout markerReadout(const DisplayState& s, const MarkerReadoutInputs& in,
                            std::span<const float> dispdata);

// "Peak": x value of the highest of dispdata[0 .. npoints-1] (the first one
// among equals; NaN values are never the peak).
double peakMarkX(std::span<const float> dispdata, std::int32_t npoints, double xstart,
                 double xstep);

// picbox_MouseDown: x value of the data point nearest to the horizontal user
// coordinate `userx` (division units); a half goes up.
double mouseMarkX(double userx, double xperdiv, double xstart, double xstep, std::int32_t npoints);

// markrelload(1): the raw data value at the marker.
double markerRelY(double markx, std::span<const float> dispdata, double xstart, double xstep,
                  std::int32_t npoints);

} // namespace zr

// Zoom and pan of the graph's x axis with the mouse: which x value lies under a pixel column,
// and the X-Ref / X-Per Div a wheel step or a drag gives. Plain computation; the window writes
// the results into the display fields and applies them as typed values.
#pragma once

#include "graph.h"

namespace zr {

// Each wheel step (one notch, 120 eighths of a degree) away from the user halves X-Per Div;
// towards the user it doubles it. Fractions of a notch zoom by the matching power.
inline constexpr double kWheelZoomPerStep = 2.0;

// The x value (axis unit) under pixel column `col` of a picture `width` pixels wide drawn in
// frame f: the horizontal user coordinate times X-Per Div.
double xAtColumn(const GraphFrame& f, double col, int width);

struct XScale {
    double xref = 0.0;
    double xperdiv = 1.0;
};

// A zoom by `steps` wheel notches about the x value `x`: X-Per Div is divided by
// kWheelZoomPerStep^steps and X-Ref moves so that `x` stays under the same pixel, whatever
// the reference position.
XScale zoomXAbout(const XScale& now, double x, double steps);

// A drag by `dcol` pixel columns (positive: to the right): the trace follows the mouse, so X-Ref
// moves by the x distance those columns span, the other way.
double panXRef(const GraphFrame& f, double xref, double dcol, int width);

} // namespace zr

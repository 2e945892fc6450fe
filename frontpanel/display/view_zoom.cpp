#include "view_zoom.h"

#include <cmath>

namespace zr {

double xAtColumn(const GraphFrame& f, double col, int width) {
    if (width <= 0)
        return f.L * f.xperdiv;
    return pixelToUserX(f, col, width) * f.xperdiv;
}

XScale zoomXAbout(const XScale& now, double x, double steps) {
    const double factor = std::pow(kWheelZoomPerStep, -steps);
    // The left grid edge lies at xref - c * xperdiv for a c set by the reference position; x
    // lies d divisions right of it. Keeping d with the new scale gives
    // xref' = x + (xref - x) * factor for every c.
    return {x + (now.xref - x) * factor, now.xperdiv * factor};
}

double panXRef(const GraphFrame& f, double xref, double dcol, int width) {
    if (width <= 0)
        return xref;
    return xref - dcol / width * f.width() * f.xperdiv;
}

} // namespace zr

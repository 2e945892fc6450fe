#include "marker.h"

#include "axes.h"
#include "engformat.h"

#include <algorithm>
#include <cmath>

namespace zr {

namespace {

std::int32_t pointsIn(std::span<const float> dispdata, std::int32_t npoints) {
    const auto size = static_cast<std::int64_t>(dispdata.size());
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(npoints, 0, size));
}

} // namespace

MarkerPoint markerPoint(double markx, double xstart, double xstep, std::int32_t npoints) {
    const std::int32_t n = std::max<std::int32_t>(npoints, 1);
    MarkerPoint m;
    double p = (markx - xstart) / xstep;
    if (std::isnan(p))
        p = 0.0;
    if (p < 0.0)
        p = 0.0;
    if (p >= n)
        p = n - 1;
    m.p = p;
    // Round half to even (the default rounding mode), kept inside the block:
    // p just below npoints would otherwise round to a point past the end.
    m.index = std::min<std::int32_t>(static_cast<std::int32_t>(std::nearbyint(p)), n - 1);
    m.fx = p * xstep + xstart;
    return m;
}

double noiseBandwidthFactor(int windowindex) {
    switch (windowindex) {
    case 1:
        return 1.5;
    case 2:
        return 2.215349684;
    case 3:
        return 3.82210876;
    default:
        return 1.0;
    }
}

MarkerReadout markerReadout(const DisplayState& s, const MarkerReadoutInputs& in,
                            std::span<const float> dispdata) {
    checkModeIndex(in.modeindex);
    MarkerReadout r;
    const std::int32_t n = pointsIn(dispdata, s.npoints);
    if (in.markmode == 0 || n < 1)
        return r;
    const int mode = in.modeindex;
    const auto slot = static_cast<std::size_t>(mode);
    const MarkerPoint m = markerPoint(s.markx[slot], s.xstart, s.xstep, n);
    double fx = m.fx;
    r.linex = fx / s.xperdiv[slot];
    double fy = dispdata[static_cast<std::size_t>(m.index)];

    static const char* const xunits[3] = {"s", "Hz", "V"};
    static const char* const yunits[3] = {"V", "dBm", "Counts"};
    std::string yunit = yunits[slot];
    if (in.markrelx)
        fx -= s.relx[slot];
    if (in.markrely) {
        fy -= s.rely[slot];
        if (mode == kModeSpectrum)
            yunit = "dB";
    }
    if (in.markmode == 2 && mode == kModeSpectrum) {
        fy -= 10.0 * std::log10(noiseBandwidthFactor(in.windowindex) * s.xstep);
        yunit = in.markrely ? "dB/Hz" : "dBm/Hz";
    }
    r.shown = true;
    r.text = "Marker: X= " + engformat(fx, 6) + xunits[slot] + "  Y= " + engformat(fy, 6) + yunit;
    return r;
}

double peakMarkX(std::span<const float> dispdata, std::int32_t npoints, double xstart,
                 double xstep) {
    const std::int32_t n = pointsIn(dispdata, npoints);
    std::int32_t at = 0;
    if (n > 0) {
        float best = dispdata[0];
        for (std::int32_t i = 1; i < n; ++i) {
            const float v = dispdata[static_cast<std::size_t>(i)];
            // A NaN best is replaced by the first number after it.
            if (v > best || (std::isnan(best) && !std::isnan(v))) {
                best = v;
                at = i;
            }
        }
    }
    return xstart + xstep * at;
}

double mouseMarkX(double userx, double xperdiv, double xstart, double xstep, std::int32_t npoints) {
    const double u = userx * xperdiv;
    const double pos = std::floor((u - xstart) / xstep + 0.5);
    const std::int32_t n = std::max<std::int32_t>(npoints, 1);
    double i = std::isnan(pos) ? 0.0 : pos;
    if (i < 0.0)
        i = 0.0;
    if (i >= n)
        i = n - 1;
    return i * xstep + xstart;
}

double markerRelY(double markx, std::span<const float> dispdata, double xstart, double xstep,
                  std::int32_t npoints) {
    const std::int32_t n = pointsIn(dispdata, npoints);
    if (n < 1)
        return 0.0;
    return dispdata[static_cast<std::size_t>(markerPoint(markx, xstart, xstep, n).index)];
}

} // namespace zr

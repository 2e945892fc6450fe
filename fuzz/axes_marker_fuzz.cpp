// Axes, autoscale and marker arithmetic on any settings and data: nothing
// throws or reads outside the block, the x axis keeps its point count in
// range, autoscale gives finite results that cover the data, and a marker
// always lands on a point of the block.
#include "display/axes.h"
#include "display/marker.h"
#include "fuzz_input.h"

#include <cmath>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zrfuzz::Input in(data, size);
    zr::XAxisInputs x;
    const int mode = static_cast<int>(in.range(0, 2));
    const auto slot = static_cast<std::size_t>(mode);
    x.modeindex = mode;
    x.datatypeindex = static_cast<int>(in.range(0, 1));
    x.blocklen = in.take<std::int32_t>();
    x.fs = in.take<double>();
    x.clockfreq = in.take<double>();
    x.centerfrac = in.take<double>();
    x.histmin = in.take<double>();
    x.histmax = in.take<double>();
    x.nbins = in.take<double>();
    x.resampGaussian = in.flag();
    x.resampFlat = in.flag();
    if (in.flag()) {
        x.resampled = zr::XAxisInputs::Resampled{in.take<double>(), in.take<std::int32_t>()};
    }
    zr::DisplayState s;
    s.yref[slot] = in.take<double>();
    s.yperdiv[slot] = in.take<double>();
    s.ygrids[slot] = in.take<double>();
    s.yrefpos[slot] = static_cast<std::int16_t>(in.range(-1, 3));
    s.xref[slot] = in.take<double>();
    s.xperdiv[slot] = in.take<double>();
    s.xgrids[slot] = in.take<double>();
    s.xrefpos[slot] = static_cast<std::int16_t>(in.range(-1, 3));
    s.markx[slot] = in.take<double>();
    s.relx[slot] = in.take<double>();
    s.rely[slot] = in.take<double>();
    s.markstep[slot] = in.take<double>();
    s.xposindex = static_cast<std::int16_t>(in.range(-1, 3));
    s.markmode = static_cast<std::int16_t>(in.range(0, 2));
    const double xgridsText = in.take<double>();
    const double userx = in.take<double>();

    const zr::XAxis axis = zr::computeXAxis(x);
    ZRFUZZ_CHECK(axis.npoints >= 1 && axis.npoints <= zr::kMaxPoints);
    (void)zr::labelaxes(s, x);
    ZRFUZZ_CHECK(s.npoints == axis.npoints);
    (void)zr::xautoscale(s, mode, xgridsText);

    // The displayed block: as many values as the rest of the input holds, at most npoints.
    std::vector<float> block;
    while (in.left() >= sizeof(float) && block.size() < static_cast<std::size_t>(s.npoints)) {
        block.push_back(in.take<float>());
    }
    const auto n = static_cast<std::int32_t>(block.size());
    if (const auto y = zr::autoscaley(block, n, s.ygrids[slot], s.yrefpos[slot])) {
        ZRFUZZ_CHECK(std::isfinite(y->yref) && std::isfinite(y->yperdiv) && y->yperdiv > 0);
        // The scale covers the finite data's span.
        double lo = INFINITY, hi = -INFINITY;
        for (float v : block) {
            if (std::isfinite(v)) {
                lo = std::fmin(lo, v);
                hi = std::fmax(hi, v);
            }
        }
        const double grids = s.ygrids[slot] >= 1 ? s.ygrids[slot] : 10;
        ZRFUZZ_CHECK(y->yperdiv * grids >= (hi - lo) * (1 - 1e-12) || !std::isfinite(grids));
    }
    if (n > 0) {
        const zr::MarkerPoint p = zr::markerPoint(s.markx[slot], s.xstart, s.xstep, n);
        ZRFUZZ_CHECK(p.index >= 0 && p.index < n);
        zr::MarkerReadoutInputs r;
        r.modeindex = mode;
        r.markmode = s.markmode;
        r.windowindex = static_cast<std::int16_t>(in.range(-1, 8));
        r.markrelx = in.flag();
        r.markrely = in.flag();
        s.npoints = n;
        (void)zr::markerReadout(s, r, block);
        (void)zr::peakMarkX(block, n, s.xstart, s.xstep);
        (void)zr::mouseMarkX(userx, s.xperdiv[slot], s.xstart, s.xstep, n);
        (void)zr::markerRelY(s.markx[slot], block, s.xstart, s.xstep, n);
    }
    return 0;
}

#include "graph.h"

#include "raster.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zr {

namespace {

// More grid lines than this per direction are thinned out evenly: they could
// not be told apart on any screen, and an X-Grids entry has no upper limit.
constexpr double kMaxGridLines = 65536.0;

// Whole number of grid divisions to loop over (k = 0 .. result), or -1 for none.
double gridCount(double grids) {
    if (!(grids >= 0.0) || !std::isfinite(grids))
        return -1.0;
    return std::floor(grids);
}

} // namespace

GraphFrame graphFrame(const DisplayState& s, int modeindex) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    GraphFrame f;
    f.xgrids = s.xgrids[m];
    f.ygrids = s.ygrids[m];
    f.xperdiv = s.xperdiv[m];
    f.yperdiv = s.yperdiv[m];
    f.S = f.yperdiv * f.ygrids;
    f.L = s.xref[m] / f.xperdiv - s.xrefpos[m] * f.xgrids / 2.0;
    f.T = s.yref[m] + s.yrefpos[m] * f.S / 2.0;
    return f;
}

double pixelToUserX(const GraphFrame& f, double col, int width) {
    return f.L + col / width * f.width();
}

std::string generalNumber(double v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string averagesText(double avgcount) {
    return "Averages = " + std::string(avgcount >= 0 ? " " : "") + generalNumber(avgcount);
}

std::string captionText(std::span<const std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        if (!line.empty())
            text += line + '\r';
    return text;
}

GraphTexts drawgraph(DisplayState& s, const GraphInputs& in, QImage& picture) {
    const int mode = in.modeindex;
    checkModeIndex(mode);
    GraphTexts out;

    // Axes first when a setting changed them.
    if (s.relabel) {
        XAxisInputs axis = in.axis;
        axis.modeindex = mode;
        out.axes = labelaxes(s, axis);
    }

    // Coordinate system and clear.
    const GraphFrame f = graphFrame(s, mode);
    LineRasterizer r(picture);
    const int w = r.width();
    const int h = r.height();
    r.fill(in.colours.background);
    auto segment = [&](double h0, double v0, double h1, double v1, QRgb c) {
        const PixelPos a = userToPixel(f, h0, v0, w, h);
        const PixelPos b = userToPixel(f, h1, v1, w, h);
        return r.line(a.col, a.row, b.col, b.row, c);
    };

    // Horizontal grid lines, then vertical grid lines.
    const double ny = gridCount(f.ygrids);
    const double stepY = std::max(1.0, std::ceil((ny + 1.0) / kMaxGridLines));
    for (double k = 0; ny >= 0 && k <= ny; k += stepY)
        segment(f.L, f.T - k * f.yperdiv, f.L + f.xgrids, f.T - k * f.yperdiv, in.colours.grid);
    const double nx = gridCount(f.xgrids);
    const double stepX = std::max(1.0, std::ceil((nx + 1.0) / kMaxGridLines));
    for (double k = 0; nx >= 0 && k <= nx; k += stepX)
        segment(f.L + k, f.T, f.L + k, f.T - f.S, in.colours.grid);

    // Trace: one segment per point, starting with a zero-length one at point 0.
    const auto n = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(s.npoints, 0, static_cast<std::int64_t>(in.dispdata.size())));
    if (n > 0) {
        const double x0 = s.xstart / f.xperdiv;
        const double dxp = s.xstep / f.xperdiv;
        TracePen pen(r, in.colours.foreground);
        const PixelPos first = userToPixel(f, x0, in.dispdata[0], w, h);
        pen.start(first.col, first.row);
        for (std::int32_t g = 0; g < n; ++g) {
            const PixelPos next =
                userToPixel(f, x0 + g * dxp, in.dispdata[static_cast<std::size_t>(g)], w, h);
            pen.to(next.col, next.row);
        }
        pen.finish();
        out.skippedSegments = pen.skipped();
    }

    // Averaging read-out.
    if (in.avgmode != 0)
        out.averages = averagesText(in.avgcount);

    // Marker overlay.
    MarkerReadoutInputs mi;
    mi.modeindex = mode;
    mi.markmode = s.markmode;
    mi.windowindex = in.windowindex;
    mi.markrelx = in.markrelx;
    mi.markrely = in.markrely;
    const MarkerReadout m = markerReadout(s, mi, in.dispdata);
    if (m.shown) {
        out.marker = m.text;
        if (in.markrelx || in.markrely) {
            const auto slot = static_cast<std::size_t>(mode);
            const double rx = s.relx[slot] / f.xperdiv;
            const double ry = s.rely[slot];
            const QRgb c = in.colours.reference;
            r.setDashed(true);
            if (in.markrelx)
                segment(rx, f.T, rx, f.T - f.S, c);
            if (in.markrely)
                segment(f.L, ry, f.L + f.xgrids, ry, c);
            r.setDashed(false);
            if (in.markrelx && in.markrely) {
                const PixelPos at = userToPixel(f, rx, ry, w, h);
                const double a = std::max(4.0, std::round(std::min(w, h) / 70.0));
                r.line(at.col - a, at.row, at.col, at.row - a, c);
                r.line(at.col, at.row - a, at.col + a, at.row, c);
                r.line(at.col + a, at.row, at.col, at.row + a, c);
                r.line(at.col, at.row + a, at.col - a, at.row, c);
            }
        }
        r.setDotted(true);
        segment(m.linex, f.T, m.linex, f.T - f.S, in.colours.marker);
        r.setDotted(false);
    }
    return out;
}

} // namespace zr

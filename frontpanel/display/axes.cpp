#include "axes.h"

#include "engformat.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace zr {

namespace {

struct ModeTexts {
    const char* title;
    const char* xunit;
    const char* yunit;
};

constexpr ModeTexts kModeTexts[3] = {
    {"Time Domain", "Sec", "Volts"},
    {"Spectrum", "Hz", "dBm"},
    {"Histogram", "Volts", "Counts"},
};

constexpr const char* kXWords[3] = {"X:   Left=", "X: Center=", "X:  Right="};
constexpr const char* kYWords[3] = {"Y:    Top=", "Y: Center=", "Y: Bottom="};

int positionIndex(int pos) {
    return (pos >= 0 && pos <= 2) ? pos : 0;
}

// 10^n for a whole n, so that c * 10^e and c / 10^-e round once.
double scaleByDecade(double c, int e) {
    return e >= 0 ? c * std::pow(10.0, e) : c / std::pow(10.0, -e);
}

} // namespace

void checkModeIndex(int modeindex) {
    if (modeindex < 0 || modeindex > 2)
        throw std::out_of_range("measurement mode index " + std::to_string(modeindex) +
                                " is not 0, 1 or 2");
}

XAxis computeXAxis(const XAxisInputs& in) {
    checkModeIndex(in.modeindex);
    XAxis ax;
    const double blocklen = std::max<std::int32_t>(in.blocklen, 1);
    std::int64_t n = 1;
    switch (in.modeindex) {
    case kModeTime:
        ax.xstep = 1.0 / in.fs;
        ax.xstart = 0.0;
        if (in.datatypeindex == 0) {
            if (in.resampGaussian)
                ax.xstart = 8.0 * ax.xstep;
            if (in.resampFlat)
                ax.xstart = 11.0 * ax.xstep;
        }
        n = in.blocklen;
        if (in.datatypeindex == 0 && in.resampled) {
            ax.xstep = in.resampled->xstep;
            n = in.resampled->npoints;
        }
        break;
    case kModeSpectrum:
        ax.xstart = in.clockfreq * in.centerfrac;
        if (in.datatypeindex != 0)
            ax.xstart -= in.fs / 2.0;
        ax.xstep = in.fs / blocklen;
        n = in.datatypeindex != 0 ? in.blocklen : in.blocklen / 2;
        break;
    default: {
        const double nbins = std::isfinite(in.nbins) ? std::floor(in.nbins) : 1.0;
        const double bins = std::clamp(nbins, 1.0, static_cast<double>(kMaxPoints));
        ax.xstart = in.histmin;
        ax.xstep = (in.histmax - in.histmin) / bins;
        n = static_cast<std::int64_t>(bins);
        break;
    }
    }
    ax.npoints = static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 1, kMaxPoints));
    return ax;
}

AxisLabels axisLabels(const DisplayState& s, int modeindex) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    const ModeTexts& t = kModeTexts[modeindex];
    const std::string xunit = t.xunit;
    const std::string yunit = t.yunit;
    AxisLabels lines;
    lines[0] = t.title;
    lines[1] = kXWords[positionIndex(s.xrefpos[m])] + engformat(s.xref[m], 6) + xunit + " , " +
               engformat(s.xperdiv[m], 6) + xunit + "/div";
    lines[2] = kYWords[positionIndex(s.yrefpos[m])] + engformat(s.yref[m], 6) + yunit + " , " +
               engformat(s.yperdiv[m], 6) + yunit + "/div";
    return lines;
}

AxisLabels labelaxes(DisplayState& s, const XAxisInputs& in) {
    const XAxis ax = computeXAxis(in);
    AxisLabels lines = axisLabels(s, in.modeindex);
    s.xstart = ax.xstart;
    s.xstep = ax.xstep;
    s.npoints = ax.npoints;
    s.relabel = false;
    return lines;
}

XAutoResult xautoscale(const DisplayState& s, int modeindex, double xgridsText) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    const double t = modeindex == kModeTime ? 0.0 : s.xstart;
    const double span = s.xstep * s.npoints;
    XAutoResult r;
    switch (positionIndex(s.xposindex)) {
    case 1:
        r.xref = t + span / 2.0;
        break;
    case 2:
        r.xref = t + span;
        break;
    default:
        r.xref = t;
        break;
    }
    double g = xgridsText;
    if (!(std::isfinite(g) && g > 0.0))
        g = s.xgrids[m];
    if (!(std::isfinite(g) && g > 0.0))
        g = 10.0;
    r.xperdiv = span / g;
    return r;
}

double autoscaleStep(double raw) {
    int e = static_cast<int>(std::floor(std::log10(raw)));
    double m = raw / scaleByDecade(1.0, e);
    // Keep 1 <= m < 10 although log10 may round next to a power of ten.
    if (m >= 10.0) {
        ++e;
        m = raw / scaleByDecade(1.0, e);
    } else if (m < 1.0) {
        --e;
        m = raw / scaleByDecade(1.0, e);
    }
    double c;
    if (m < 3.5)
        c = std::floor(2.0 * m + 1.0) / 2.0;
    else if (m < 6.0)
        c = std::floor(m + 1.0);
    else if (m < 7.5)
        c = 7.5;
    else
        c = 10.0;
    return scaleByDecade(c, e);
}

std::optional<YAutoResult> autoscaley(std::span<const float> dispdata, std::int32_t npoints,
                                      double ygrids, int yrefpos) {
    const std::size_t n =
        std::min<std::size_t>(dispdata.size(), static_cast<std::size_t>(std::max(npoints, 0)));
    bool any = false;
    double lo = 0.0;
    double hi = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double v = dispdata[i];
        if (!std::isfinite(v))
            continue;
        if (!any) {
            lo = hi = v;
            any = true;
        } else if (v < lo) {
            lo = v;
        } else if (v > hi) {
            hi = v;
        }
    }
    if (!any)
        return std::nullopt;
    const double raw = (hi - lo) / ygrids;
    if (!(std::isfinite(raw) && raw > 0.0))
        return std::nullopt;
    const double d = autoscaleStep(raw);
    double r;
    switch (positionIndex(yrefpos)) {
    case 1:
        r = d * (std::floor(((lo + hi) / 2.0) / d) + 0.5);
        break;
    case 2:
        r = d * std::floor(lo / d);
        break;
    default:
        r = d * (std::floor(hi / d) + 1.0);
        break;
    }
    if (!(std::isfinite(d) && d > 0.0 && std::isfinite(r)))
        return std::nullopt;
    return YAutoResult{r, d};
}

void selectXPos(DisplayState& s, int modeindex, int index) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    const auto pos = static_cast<std::int16_t>(std::clamp(index, 0, 2));
    s.xposindex = pos;
    s.xrefpos[m] = pos;
    s.relabel = true;
}

void selectYPos(DisplayState& s, int modeindex, int index) {
    checkModeIndex(modeindex);
    const auto m = static_cast<std::size_t>(modeindex);
    const auto pos = static_cast<std::int16_t>(std::clamp(index, 0, 2));
    s.yposindex = pos;
    s.yrefpos[m] = pos;
    s.relabel = true;
}

} // namespace zr

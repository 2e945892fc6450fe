#include "processing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace zr {

namespace {

// count reduced to [0, limit].
std::size_t fit(int32_t count, std::size_t limit) {
    if (count < 1)
        return 0;
    return std::min(static_cast<std::size_t>(count), limit);
}

} // namespace

void zoompower(std::span<float> data, int32_t count) {
    const std::size_t n = fit(count, data.size() / 2);
    // Writing element i never overwrites elements 2i and 2i+1 of a later sample.
    for (std::size_t i = 0; i < n; ++i) {
        const double re = data[2 * i];
        const double im = data[2 * i + 1];
        data[i] = static_cast<float>(re * re + im * im);
    }
}

void histbuild(std::span<const float> data, int32_t count, std::span<float> counts, int32_t nbins,
               double low, double high, double& datamin, double& datamax) {
    const std::size_t bins = fit(nbins, counts.size());
    if (bins == 0)
        return;
    std::fill_n(counts.begin(), bins, 0.0f);
    if (high == low)
        return;
    const std::size_t n = fit(count, data.size());
    if (n == 0)
        return;

    const double scale = static_cast<double>(bins) / (high - low);
    const double lastbin = static_cast<double>(bins - 1);

    // The range starts from the first value; a NaN cannot be ordered and is left out.
    std::size_t first = 0;
    while (first < n && std::isnan(data[first]))
        ++first;
    if (first < n) {
        datamin = data[first];
        datamax = data[first];
    }

    for (std::size_t i = 0; i < n; ++i) {
        const double v = data[i];
        if (v > datamax)
            datamax = v;
        if (v < datamin)
            datamin = v;
        double b = (v - low) * scale + 0.5;
        if (b < 0)
            b = 0;
        if (b >= static_cast<double>(bins))
            b = lastbin;
        if (std::isnan(b))
            b = 0; // a NaN value (or 0 * inf for limits too close together) goes to bin 0
        const auto k = static_cast<std::size_t>(std::floor(b));
        counts[k] = counts[k] + 1.0f;
    }
}

void copyhist(std::span<const float> histdata, std::span<float> dispdata, int32_t nbins) {
    const std::size_t n = fit(nbins, std::min(histdata.size(), dispdata.size()));
    std::copy_n(histdata.begin(), n, dispdata.begin());
}

void average(std::span<const float> dispdata, std::span<float> avgdata, int32_t npoints,
             int16_t avgmode, double& avgcount, double numavg) {
    const std::size_t n = fit(npoints, std::min(dispdata.size(), avgdata.size()));
    switch (avgmode) {
    case kAvgOff:
        std::copy_n(dispdata.begin(), n, avgdata.begin());
        break;
    case kAvgExponential: {
        // A limit below 1 would make the weight infinite.
        const double limit = numavg >= 1 ? numavg : 1;
        avgcount = avgcount + 1;
        if (avgcount > limit)
            avgcount = limit;
        const double w = 1.0 / avgcount;
        for (std::size_t i = 0; i < n; ++i) {
            const double a = avgdata[i];
            avgdata[i] = static_cast<float>(a + w * (static_cast<double>(dispdata[i]) - a));
        }
        break;
    }
    case kAvgPeak:
        if (avgcount == 0) {
            std::copy_n(dispdata.begin(), n, avgdata.begin());
            avgcount = 1;
        } else {
            avgcount = avgcount + 1;
            for (std::size_t i = 0; i < n; ++i) {
                if (dispdata[i] > avgdata[i])
                    avgdata[i] = dispdata[i];
            }
        }
        break;
    default:
        break;
    }
}

void convertdisplay(std::span<const float> avgdata, std::span<float> dispdata, int32_t npoints,
                    int16_t modeindex, int16_t datatypeindex) {
    const std::size_t n = fit(npoints, std::min(dispdata.size(), avgdata.size()));
    if (modeindex == kModeSpectrum) {
        const double dbperln = 10.0 / std::log(10.0);
        for (std::size_t i = 0; i < n; ++i) {
            const double p = avgdata[i];
            dispdata[i] = p > 0 ? static_cast<float>(dbperln * std::log(p)) : -500.0f;
        }
    } else if (modeindex == kModeTime && datatypeindex == kDataZoom) {
        for (std::size_t i = 0; i < n; ++i)
            dispdata[i] = static_cast<float>(std::sqrt(2.0 * static_cast<double>(avgdata[i])));
    } else {
        std::copy_n(avgdata.begin(), n, dispdata.begin());
    }
}

std::optional<HistLimits> autohist(double datamin, double datamax, double xgrids) {
    const double d = xgrids;
    double step = 1.2 * (datamax - datamin) / (d + 1);
    // Nothing to cover (no histogram yet, a constant block) or no usable range.
    if (step == 0 || !(step > 0) || !std::isfinite(step))
        return std::nullopt;
    const double e = std::floor(std::log10(step));
    const double p = std::pow(10.0, e);
    const double m = step / p;
    double n;
    if (m > 5)
        n = 10;
    else if (m > 2)
        n = 5;
    else
        n = 2;
    step = n * p;
    const double centre = (std::floor(((datamax + datamin) / 2) / step) + 1) * step;
    HistLimits lim{};
    lim.histmin = centre - d * step / 2;
    lim.histmax = lim.histmin + d * step;
    return lim;
}

void fillfirkernel(std::span<float> firkernel) {
    static constexpr double kHalf[6] = {-0.166315397211716, 1.3403462,         -5.43629855311873,
                                        14.388607,          -26.7291162725784, 34.205555};
    if (firkernel.size() < 11)
        return;
    for (std::size_t i = 0; i < 6; ++i)
        firkernel[i] = static_cast<float>(kHalf[i]);
    for (std::size_t i = 6; i <= 10; ++i)
        firkernel[i] = firkernel[10 - i];
    if (firkernel.size() > 11)
        firkernel[11] = 0.0f;
}

std::optional<ResampleResult> resampleblock(std::span<float> data, int32_t count, bool gaussian,
                                            std::span<const float> firkernel, int16_t resampindex,
                                            double fs, const FirFunction& fir,
                                            const ResampleFunction& resample) {
    const std::size_t n = fit(count, data.size());
    if (n == 0 || resample == nullptr || (!gaussian && (fir == nullptr || firkernel.size() < 11)))
        return std::nullopt;
    const auto ni = static_cast<int32_t>(n);

    // Fresh zero state for every block. The work buffer's memory is kept from block to block
    // (only its contents start afresh), so the loop does not allocate on every pass.
    thread_local std::vector<float> work;
    work.assign(n + 1, 0.0f);
    std::array<float, 11> history{};
    float position;
    if (gaussian) {
        std::copy_n(data.begin(), n, work.begin());
        position = 8.0f;
    } else {
        std::array<float, 12> state{};
        fir(data.data(), work.data(), ni, firkernel.data(), 11, state.data());
        position = 16.0f;
    }

    const double scale = std::ldexp(1.0, resampindex);
    const auto step = static_cast<float>(1.0 / scale);
    const auto maxout = static_cast<int32_t>(fit(kResampleCap, data.size()));
    int32_t produced = 0;
    resample(work.data(), ni, data.data(), maxout, &produced, &position, step, history.data());

    ResampleResult res{};
    res.npoints = std::clamp(produced, 0, maxout);
    res.xstep = (1.0 / fs) / scale;
    return res;
}

} // namespace zr

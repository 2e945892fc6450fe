// The per-block processing of the measurement loop that is not a library call: power of complex
// samples, histogram, averaging and conversion for display, the histogram "Auto Limit Set" and the
// software resampling stage. Plain functions on the window's arrays; no widgets.
//
// Every function takes the arrays as spans and never touches an element outside them: a count
// larger than an array is reduced to what the array holds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "measure_modes.h"
#include "zrdsp_32.h"

namespace zr {

// Averaging kinds (avgmode) and data types (datatypeindex); the modes are in
// measure_modes.h.
inline constexpr int16_t kAvgOff = 0;
inline constexpr int16_t kAvgExponential = 1;
inline constexpr int16_t kAvgPeak = 2;
inline constexpr int16_t kDataBaseband = 0;
inline constexpr int16_t kDataZoom = 1;

// Replaces each of the count complex samples of data (interleaved) by its power, in place:
// data[i] = data[2i]^2 + data[2i+1]^2 for i = 0 .. count-1.
void zoompower(std::span<float> data, int32_t count);

// Histogram of count values of data into nbins bins between low and high. counts[0 .. nbins-1]
// are cleared first; with high equal to low they stay 0 and datamin/datamax are left as they are.
// Otherwise bin k is centred on low + k * (high - low) / nbins; values beyond the outer bins are
// counted in them, so the counts add up to count. datamin/datamax receive the smallest and largest
// value of the block. A NaN value is counted in bin 0 and does not take part in datamin/datamax.
void histbuild(std::span<const float> data, int32_t count, std::span<float> counts, int32_t nbins,
               double low, double high, double& datamin, double& datamax);

// Copies the histogram counts into the display block: dispdata[i] = histdata[i], i < nbins.
void copyhist(std::span<const float> histdata, std::span<float> dispdata, int32_t nbins);

// Averages the npoints processed values of dispdata into avgdata according to avgmode:
// Off: copy. Exponential: avgcount = min(avgcount + 1, numavg), then
// avgdata += (dispdata - avgdata) / avgcount (double precision, stored as single).
// Peak: the first block after a restart (avgcount 0) is copied and avgcount becomes 1; later blocks
// increase avgcount and replace only values strictly greater. Any other avgmode: no change.
// A numavg below 1 counts as 1.
void average(std::span<const float> dispdata, std::span<float> avgdata, int32_t npoints,
             int16_t avgmode, double& avgcount, double numavg);

// Converts the averaged values for display, npoints of them:
// Spectrum: 10 * log10(avgdata), or -500 where avgdata is not positive.
// Time domain with zoom data: sqrt(2 * avgdata), the peak amplitude of the average power.
// Anything else: a copy.
void convertdisplay(std::span<const float> avgdata, std::span<float> dispdata, int32_t npoints,
                    int16_t modeindex, int16_t datatypeindex);

// "Auto Limit Set": histogram limits covering [datamin, datamax] with a margin, on a 1-2-5 grid
// of xgrids divisions. No value (nothing changes) when the data range is empty (before any
// histogram, or a constant block) or not finite.
struct HistLimits {
    double histmin;
    double histmax;
};
std::optional<HistLimits> autohist(double datamin, double datamax, double xgrids);

// The 11 taps of the flat-response equaliser that runs before the resampler ("Flat Response"),
// rounded to single precision, written to firkernel[0 .. 10]; firkernel[11] (if present) is set
// to 0. Nothing is written to a kernel array shorter than 11.
void fillfirkernel(std::span<float> firkernel);

// Library entry points the resampling stage calls (zrdsp_fir, zrdsp_resample): the library's own
// functions, or the window's bound library.
using FirFunction =
    std::function<void(const float*, float*, int32_t, const float*, int32_t, float*)>;
using ResampleFunction =
    std::function<void(const float*, int32_t, float*, int32_t, int32_t*, float*, float, float*)>;

// Result of the resampling stage: the new npoints and xstep of the displayed block.
struct ResampleResult {
    int32_t npoints;
    double xstep;
};

// Maximum number of points the resampling stage writes.
inline constexpr int32_t kResampleCap = 16384;

// The software resampling stage for one baseband block of count samples in data:
// "Gaussian Response" (gaussian true): the resampler alone, starting at input position 8;
// "Flat Response" (gaussian false): the 11-tap equaliser firkernel through fir first, then the
// resampler starting at position 16. The rate factor is 2^resampindex; at most 16384 points (and
// never more than data holds) overwrite data. Filter and resampler start from zero state on every
// block. xstep = (1 / fs) / 2^resampindex with fs the sample rate in Hz.
// Returns no value (and leaves data untouched) when count is below 1, a function is missing or
// firkernel has fewer than 11 taps.
std::optional<ResampleResult> resampleblock(std::span<float> data, int32_t count, bool gaussian,
                                            std::span<const float> firkernel, int16_t resampindex,
                                            double fs, const FirFunction& fir,
                                            const ResampleFunction& resample);

} // namespace zr

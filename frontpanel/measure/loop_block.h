// The window's access to the per-block processing and the histogram functions of the measurement
// computation, with the signal-processing library bound through the process-wide binding.
// (processing.h and the display state name their mode constants alike, so the window's sources
// reach the computation through this header.)
#pragma once

#include "loop_timing.h"
#include "measure_state.h"

#include <cstdint>
#include <optional>

namespace zr {

// What one pass of the loop needs besides the measurement values (see pass.h).
struct LoopBlockSetup {
    int32_t blocklen = 0;
    int16_t datatypeindex = 0;
    int32_t nbins = 0;
    int16_t resampmode = 0; // 0 "Default", 1 "Gaussian Response", 2 "Flat Response"
    double fs = 0;
    int32_t npoints = 0;
    double xstep = 0;
};

struct LoopBlockResult {
    int32_t npoints = 0;
    double xstep = 0;
    bool resampled = false;
};

// Steps 5 to 7 of a pass (transform, average, convert) on m's arrays. With timing set, the time
// spent in the spectrum and in the equaliser/resampler calls is added to it.
LoopBlockResult processLoopBlock(MeasureState& m, const LoopBlockSetup& setup, LoopTiming* timing);

// "Auto Limit Set" limits for the value range [datamin, datamax] on xgrids divisions, or nothing.
struct LoopHistLimits {
    double histmin;
    double histmax;
};
std::optional<LoopHistLimits> loopAutohist(double datamin, double datamax, double xgrids);

// The histogram of count values into counts[0 .. nbins-1] between low and high, updating
// datamin/datamax (see processing.h). data must hold count values and counts nbins values.
void loopHistbuild(const float* data, int32_t count, float* counts, int32_t nbins, double low,
                   double high, double& datamin, double& datamax);

} // namespace zr

// One processing pass of the measurement loop over a window's measurement
// values, with the real signal-processing library (kept in its own file: the
// measurement and display headers both name the mode constants).
#pragma once

#include "measure/measure_state.h"

#include <cstdint>

namespace zr::test {

struct LoopPassSetup {
    int32_t blocklen = 1024;
    int16_t datatypeindex = 0;
    int32_t nbins = 256;
    bool gaussian = false; // option resampmode(1) selected
    bool flat = false;     // option resampmode(2) selected
    double fs = 20480000.0;
    int32_t npoints = 0;
    double xstep = 0.0;
};

struct LoopPassResult {
    int32_t npoints = 0;
    double xstep = 0.0;
    bool resampled = false;
};

// Writes the equaliser taps into m.firkernel, as the preset does.
void fillEqualiser(MeasureState& m);

// Runs processblock on m as the loop does after a successful read.
LoopPassResult runLoopPass(MeasureState& m, const LoopPassSetup& setup);

} // namespace zr::test

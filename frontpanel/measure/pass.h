// Steps of one measurement pass after a block has been acquired: transform by mode, average,
// convert for display. The loop calls processblock once per successful read; it works on the
// window's arrays in MeasureState and calls the signal-processing library through the entry
// points the window has bound.
#pragma once

#include <cstdint>
#include <functional>

#include "loop_timing.h"
#include "measure_state.h"
#include "processing.h"

namespace zr {

using SpectrumFunction = std::function<void(const float*, float*, const float*, int32_t, int16_t)>;

// Library entry points used by a pass. A missing one skips its step.
struct DspFunctions {
    SpectrumFunction spectrum;  // zrdsp_spectrum
    SpectrumFunction cspectrum; // zrdsp_cspectrum
    FirFunction fir;            // zrdsp_fir
    ResampleFunction resample;  // zrdsp_resample
};

// The option buttons of the "Filter && Resample" frame: resampmode(0), (1), (2).
enum class ResampMode : int16_t { Default = 0, Gaussian = 1, Flat = 2 };

// What a pass reads from outside the measurement values.
struct PassSetup {
    int32_t blocklen = 0;      // samples in the block (complex points for zoom data)
    int16_t datatypeindex = 0; // 0 baseband (real), 1 zoom (complex)
    int32_t nbins = 0;         // numeric value of the selected histbins entry
    ResampMode resampmode = ResampMode::Default;
    double fs = 0;       // numeric value of the selected sampfreq entry, Hz
    int32_t npoints = 0; // points averaged and drawn, as the axes computed them
    double xstep = 0;    // x distance between points, as the axes computed them
};

// npoints and xstep after the pass: the resampling stage replaces them, otherwise they are the
// values the pass was given.
struct PassResult {
    int32_t npoints = 0;
    double xstep = 0;
    bool resampled = false;
};

// Transforms m.dispdata by m.modeindex, averages it into m.avgdata by m.avgmode (updating
// m.avgcount) and writes the display values back into m.dispdata.
//  - Spectrum: spectrum (or cspectrum for zoom data) of blocklen samples with m.windowbuf, in
//    place, power output.
//  - Other modes with zoom data: each complex sample becomes its power first.
//  - Histogram: histbuild into m.histdata with nbins between m.histmin and m.histmax (updating
//    m.datamin/m.datamax), then the counts are copied into m.dispdata.
//  - Time domain with baseband data and a resampling option: the resampling stage.
// A block length the arrays cannot hold skips the library transform.
// With timing given, the spectrum call is added to timing->transformNs and the resampling stage
// to timing->resampleNs.
PassResult processblock(MeasureState& m, const PassSetup& setup, const DspFunctions& dsp,
                        LoopTiming* timing = nullptr);

} // namespace zr

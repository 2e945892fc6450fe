#include "loop_block.h"

#include "driver/dsp_library.h"
#include "pass.h"
#include "processing.h"

#include <algorithm>
#include <span>

namespace zr {

namespace {

// The stage the library calls of a pass are accounted to (null while no timing is attached).
int64_t* g_transformSink = nullptr;
int64_t* g_resampleSink = nullptr;

// Library entry points as plain functions for the pass: each binds its function at the first
// call (a missing library or function throws LibraryError, which ends the handler like any
// other failure).
void spectrumEntry(const float* data, float* spectrum, const float* window, int32_t count,
                   int16_t mode) {
    StageTimer t(g_transformSink);
    dspLibrary().spectrum(data, spectrum, window, count, mode);
}
void cspectrumEntry(const float* data, float* spectrum, const float* window, int32_t count,
                    int16_t mode) {
    StageTimer t(g_transformSink);
    dspLibrary().cspectrum(data, spectrum, window, count, mode);
}
void firEntry(const float* input, float* output, int32_t count, const float* taps, int32_t ntaps,
              float* state) {
    StageTimer t(g_resampleSink);
    dspLibrary().fir(input, output, count, taps, ntaps, state);
}
void resampleEntry(const float* input, int32_t count, float* output, int32_t maxout,
                   int32_t* produced, float* position, float step, float* history) {
    StageTimer t(g_resampleSink);
    dspLibrary().resample(input, count, output, maxout, produced, position, step, history);
}

const DspFunctions kDsp{&spectrumEntry, &cspectrumEntry, &firEntry, &resampleEntry};

// Clears the sinks however the pass ends.
struct Sinks {
    Sinks(LoopTiming* timing) {
        g_transformSink = timing != nullptr ? &timing->transformNs : nullptr;
        g_resampleSink = timing != nullptr ? &timing->resampleNs : nullptr;
    }
    ~Sinks() {
        g_transformSink = nullptr;
        g_resampleSink = nullptr;
    }
};

} // namespace

LoopBlockResult processLoopBlock(MeasureState& m, const LoopBlockSetup& setup, LoopTiming* timing) {
    PassSetup p;
    p.blocklen = setup.blocklen;
    p.datatypeindex = setup.datatypeindex;
    p.nbins = setup.nbins;
    p.resampmode = setup.resampmode == 1   ? ResampMode::Gaussian
                   : setup.resampmode == 2 ? ResampMode::Flat
                                           : ResampMode::Default;
    p.fs = setup.fs;
    p.npoints = setup.npoints;
    p.xstep = setup.xstep;
    const Sinks sinks(timing);
    const PassResult r = processblock(m, p, kDsp);
    return {r.npoints, r.xstep, r.resampled};
}

std::optional<LoopHistLimits> loopAutohist(double datamin, double datamax, double xgrids) {
    const std::optional<HistLimits> l = autohist(datamin, datamax, xgrids);
    if (!l) {
        return std::nullopt;
    }
    return LoopHistLimits{l->histmin, l->histmax};
}

void loopHistbuild(const float* data, int32_t count, float* counts, int32_t nbins, double low,
                   double high, double& datamin, double& datamax) {
    const std::size_t n = static_cast<std::size_t>(std::max(count, 0));
    const std::size_t bins = static_cast<std::size_t>(std::max(nbins, 0));
    histbuild(std::span<const float>(data, n), count, std::span<float>(counts, bins), nbins, low,
              high, datamin, datamax);
}

} // namespace zr

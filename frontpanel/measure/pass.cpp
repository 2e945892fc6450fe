#include "pass.h"

#include <cstddef>

namespace zr {

namespace {

// The largest block whose spectrum fits the arrays: the window holds 65537 values, a complex
// block 2 * blocklen values of dispdata.
bool spectrumfits(const MeasureState& m, int32_t blocklen, bool zoom) {
    if (blocklen < 1)
        return false;
    const auto n = static_cast<std::size_t>(blocklen);
    const std::size_t values = zoom ? 2 * n : n;
    return n <= m.windowbuf.size() && values <= m.dispdata.size();
}

} // namespace

PassResult processblock(MeasureState& m, const PassSetup& setup, const DspFunctions& dsp,
                        LoopTiming* timing) {
    PassResult res;
    res.npoints = setup.npoints;
    res.xstep = setup.xstep;
    const bool zoom = setup.datatypeindex == kDataZoom;

    if (m.modeindex == kModeSpectrum) {
        const SpectrumFunction& fn = zoom ? dsp.cspectrum : dsp.spectrum;
        if (fn && spectrumfits(m, setup.blocklen, zoom)) {
            const StageTimer t(timing != nullptr ? &timing->transformNs : nullptr);
            fn(m.dispdata.data(), m.dispdata.data(), m.windowbuf.data(), setup.blocklen, 1);
        }
    } else {
        if (zoom)
            zoompower(m.dispdata, setup.blocklen);
        if (m.modeindex == kModeHistogram) {
            histbuild(m.dispdata, setup.blocklen, m.histdata, setup.nbins, m.histmin, m.histmax,
                      m.datamin, m.datamax);
            copyhist(m.histdata, m.dispdata, setup.nbins);
        } else if (m.modeindex == kModeTime && !zoom && setup.resampmode != ResampMode::Default) {
            const StageTimer t(timing != nullptr ? &timing->resampleNs : nullptr);
            const auto r =
                resampleblock(m.dispdata, setup.blocklen, setup.resampmode == ResampMode::Gaussian,
                              m.firkernel, m.resampindex, setup.fs, dsp.fir, dsp.resample);
            if (r) {
                res.npoints = r->npoints;
                res.xstep = r->xstep;
                res.resampled = true;
            }
        }
    }

    average(m.dispdata, m.avgdata, res.npoints, m.avgmode, m.avgcount, m.numavg);
    convertdisplay(m.avgdata, m.dispdata, res.npoints, m.modeindex, setup.datatypeindex);
    return res;
}

} // namespace zr

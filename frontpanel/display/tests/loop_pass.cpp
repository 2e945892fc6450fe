#include "display/tests/loop_pass.h"

#include "measure/pass.h"
#include "zrdsp_32.h"

namespace zr::test {

void fillEqualiser(MeasureState& m) {
    fillfirkernel(m.firkernel);
}

LoopPassResult runLoopPass(MeasureState& m, const LoopPassSetup& setup) {
    PassSetup p;
    p.blocklen = setup.blocklen;
    p.datatypeindex = setup.datatypeindex;
    p.nbins = setup.nbins;
    p.resampmode = setup.gaussian ? ResampMode::Gaussian
                   : setup.flat   ? ResampMode::Flat
                                  : ResampMode::Default;
    p.fs = setup.fs;
    p.npoints = setup.npoints;
    p.xstep = setup.xstep;
    const DspFunctions dsp{&zrdsp_spectrum, &zrdsp_cspectrum, &zrdsp_fir, &zrdsp_resample};
    const PassResult r = processblock(m, p, dsp);
    return {r.npoints, r.xstep, r.resampled};
}

} // namespace zr::test

// Whole passes on simulated blocks with the real signal-processing library: the test tone reads
// 10 dBm in the spectrum, the histogram and its automatic limits, and resampled time traces.
#include "pass.h"
#include "simread.h"
#include "zrdsp_32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

zr::DspFunctions library() {
    return {&zrdsp_spectrum, &zrdsp_cspectrum, &zrdsp_fir, &zrdsp_resample};
}

zr::SimSettings defaults() {
    zr::SimSettings s;
    s.trigtypeindex = 1; // "Input": every block starts at the same phase
    return s;
}

TEST(PassWithLibrary, TestToneReadsTenDbmInTheSpectrum) {
    zr::MeasureState m;
    zr::UniformSource rng;
    const int32_t n = 1024; // lines 20 kHz apart: the tone lies on line 1
    zrdsp_window(m.windowbuf.data(), n, 0, 0, 6.32455532f / n);
    m.modeindex = zr::kModeSpectrum;
    m.avgmode = zr::kAvgExponential;
    m.numavg = 10;
    zr::PassSetup p;
    p.blocklen = n;
    p.npoints = n / 2 + 1;
    for (int pass = 0; pass < 12; ++pass) {
        ASSERT_EQ(zr::simread(defaults(), rng, m.dispdata, n), 0);
        zr::processblock(m, p, library());
        // 1 V peak into 50 ohms is 10 mW.
        ASSERT_NEAR(m.dispdata[1], 10.0f, 0.01) << pass;
        // The 1.536 mV offset: (6.32455532 * 0.001536)^2 -> -40.25 dBm, give or take the noise.
        ASSERT_NEAR(m.dispdata[0], -40.25f, 1.0) << pass;
        // Elsewhere only noise, far below.
        ASSERT_LT(m.dispdata[100], -55.0f) << pass;
    }
    EXPECT_EQ(m.avgcount, 10);
}

TEST(PassWithLibrary, HistogramOfToneAndAutomaticLimits) {
    zr::MeasureState m;
    zr::UniformSource rng;
    const int32_t n = 4096;
    m.modeindex = zr::kModeHistogram;
    m.histmin = -1;
    m.histmax = 1;
    zr::PassSetup p;
    p.blocklen = n;
    p.nbins = 256;
    p.npoints = 256;
    ASSERT_EQ(zr::simread(defaults(), rng, m.dispdata, n), 0);
    zr::processblock(m, p, library());
    EXPECT_EQ(std::accumulate(m.dispdata.begin(), m.dispdata.begin() + 256, 0.0), n);
    // A cosine spends most of its time near its peaks: the outer bins hold the most.
    EXPECT_GT(m.dispdata[255], m.dispdata[128]);
    EXPECT_NEAR(m.datamin, -1.0, 0.004);
    EXPECT_NEAR(m.datamax, 1.0, 0.006);
    // Range about 2.005 over 10 divisions: step 0.219 rounds up to 0.5; centre 0.5.
    const auto lim = zr::autohist(m.datamin, m.datamax, 10);
    ASSERT_TRUE(lim.has_value());
    EXPECT_NEAR(lim->histmin, -2.0, 1e-12);
    EXPECT_NEAR(lim->histmax, 3.0, 1e-12);
}

TEST(PassWithLibrary, FlatEightTimesResamplingKeepsTheTone) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::fillfirkernel(m.firkernel);
    m.resampindex = 3;
    const int32_t n = 4096;
    zr::PassSetup p;
    p.blocklen = n;
    p.npoints = n;
    p.resampmode = zr::ResampMode::Flat;
    p.fs = 20480000;
    ASSERT_EQ(zr::simread(defaults(), rng, m.dispdata, n), 0);
    const auto r = zr::processblock(m, p, library());
    ASSERT_TRUE(r.resampled);
    EXPECT_EQ(r.npoints, 16384);
    EXPECT_DOUBLE_EQ(r.xstep, 1.0 / 20480000 / 8);
    // Output j lies at equaliser output 16 + j / 8, i.e. input time 11 + j / 8 (the equaliser
    // delays by 5 samples): the 20 kHz tone with its offset, within the noise.
    const double w = 2 * M_PI * 20000.0 / 20480000.0;
    for (int j = 0; j < 16384; j += 97) {
        const double t = 11.0 + j / 8.0;
        ASSERT_NEAR(m.dispdata[j], std::cos(w * t) + 0.001536, 0.006) << j;
    }
}

} // namespace

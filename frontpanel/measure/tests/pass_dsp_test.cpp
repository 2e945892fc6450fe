// The resampling stage and a whole simulated pass against the real signal-processing library.
#include "pass.h"
#include "simread.h"
#include "zrdsp_32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <vector>

namespace {

constexpr double kFs = 20480000.0;

std::vector<float> sine(int32_t n, double f) {
    std::vector<float> d(131073, 0.0f);
    for (int32_t i = 0; i < n; ++i)
        d[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(2 * M_PI * f * i));
    return d;
}

zr::ResampleResult resample(std::vector<float>& data, int32_t n, bool gaussian, int16_t k) {
    std::vector<float> kern(12, 0.0f);
    zr::fillfirkernel(kern);
    const auto r = zr::resampleblock(data, n, gaussian, kern, k, kFs, &zrdsp_fir, &zrdsp_resample);
    EXPECT_TRUE(r.has_value());
    return r.value_or(zr::ResampleResult{-1, 0});
}

// RMS of the first n values, relative to a unit-amplitude sine (RMS 1/sqrt 2).
double gain(const std::vector<float>& d, int n) {
    double s = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        s += static_cast<double>(d[i]) * d[i];
    return std::sqrt(2 * s / n);
}

// The point count follows the start position and the rate, and stops at the cap. The kernel
// alone passes 0.270 at 0.2 cycles per input sample; equaliser times kernel is flat to a quarter
// of the rate, 0.172 at 0.4.
TEST(ResampleStageTest, PointCountsSpacingAndFrequencyResponse) {
    struct Case {
        int32_t n;
        bool gaussian;
        int16_t k;
        int32_t points;
        double f, g, tol; // g 0: no response checked
    };
    const Case cases[] = {{1024, true, 0, 1011, 0.2, 0.270, 2e-3},
                          {1024, true, 3, 8085, 0.01, 0, 0},
                          {1024, false, 0, 1003, 0.25, 0.998669, 1e-4},
                          {1024, false, 0, 1003, 0.4, 0.172, 2e-3},
                          {4096, false, 3, 16384, 0.01, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.n << (c.gaussian ? " gaussian " : " flat ") << c.k << " at " << c.f);
        auto data = sine(c.n, c.f);
        data[16384] = 0.5f;
        const auto r = resample(data, c.n, c.gaussian, c.k);
        EXPECT_EQ(r.npoints, c.points);
        EXPECT_DOUBLE_EQ(r.xstep, (1.0 / kFs) / (1 << c.k));
        EXPECT_EQ(data[16384], 0.5f) << "written beyond the cap";
        if (c.g > 0) {
            EXPECT_NEAR(gain(data, 1000), c.g, c.tol);
        }
    }
}

TEST(ResampleStageTest, UnusableArgumentsLeaveTheBlockAloneAndTheArrayLimitsTheOutput) {
    std::vector<float> store(300, 1.0f), kern(12, 0.0f), shortkern(10, 0.0f);
    zr::fillfirkernel(kern);
    zr::fillfirkernel(shortkern);
    const std::span<float> data(store.data(), 256);
    EXPECT_FALSE(zr::resampleblock(data, 0, true, kern, 0, kFs, &zrdsp_fir, &zrdsp_resample));
    EXPECT_FALSE(zr::resampleblock(data, 64, true, kern, 0, kFs, &zrdsp_fir, nullptr));
    EXPECT_FALSE(
        zr::resampleblock(data, 64, false, shortkern, 0, kFs, &zrdsp_fir, &zrdsp_resample));
    EXPECT_EQ(store, std::vector<float>(300, 1.0f));
    // Eight times 256 samples would be about 2000 points; the array holds 256.
    const auto r = zr::resampleblock(data, 1000, true, kern, 3, kFs, &zrdsp_fir, &zrdsp_resample);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->npoints, 256);
    EXPECT_EQ(store[256], 1.0f);
}

TEST(ResampleStageTest, EveryBlockStartsFromZeroState) {
    auto a = sine(2048, 0.03);
    auto b = a;
    resample(a, 2048, false, 2);
    resample(b, 512, true, 1); // a different block in between
    b = sine(2048, 0.03);
    resample(b, 2048, false, 2);
    EXPECT_EQ(a, b);
}

TEST(PassWithLibrary, TestToneReadsTenDbmInTheSpectrum) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::SimSettings input;
    input.trigtypeindex = 1; // "Input": every block starts at the same phase
    const int32_t n = 1024;  // lines 20 kHz apart: the tone lies on line 1
    zrdsp_window(m.windowbuf.data(), n, 0, 0, 6.32455532f / n);
    m.modeindex = zr::kModeSpectrum;
    m.avgmode = zr::kAvgExponential;
    m.numavg = 10;
    zr::PassSetup p;
    p.blocklen = n;
    p.npoints = n / 2 + 1;
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(zr::simread(input, rng, m.dispdata, n), 0);
        zr::processblock(m, p, {&zrdsp_spectrum, &zrdsp_cspectrum, &zrdsp_fir, &zrdsp_resample});
        // 1 V peak into 50 ohms is 10 mW.
        ASSERT_NEAR(m.dispdata[1], 10.0f, 0.01) << i;
        // The 1.536 mV offset: (6.32455532 * 0.001536)^2 -> -40.25 dBm, give or take the noise.
        ASSERT_NEAR(m.dispdata[0], -40.25f, 1.0) << i;
        ASSERT_LT(m.dispdata[100], -55.0f) << i; // elsewhere only noise, far below
    }
    EXPECT_EQ(m.avgcount, 10);
}

} // namespace

// The software resampling stage against the real signal-processing library: point counts, the cap,
// x increments, and the frequency responses of "Gaussian Response" and "Flat Response".
#include "processing.h"
#include "zrdsp_32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kFs = 20480000.0;

std::vector<float> kernel() {
    std::vector<float> k(12, 0.0f);
    zr::fillfirkernel(k);
    return k;
}

std::vector<float> sine(int32_t n, double f) {
    std::vector<float> d(131073, 0.0f);
    for (int32_t i = 0; i < n; ++i)
        d[i] = static_cast<float>(std::sin(2 * M_PI * f * i));
    return d;
}

zr::ResampleResult run(std::vector<float>& data, int32_t n, bool gaussian, int16_t k) {
    const auto kern = kernel();
    const auto r = zr::resampleblock(data, n, gaussian, kern, k, kFs, &zrdsp_fir, &zrdsp_resample);
    EXPECT_TRUE(r.has_value());
    return r.value_or(zr::ResampleResult{-1, 0});
}

TEST(ResampleStageTest, PointCountsFollowStartPositionAndStep) {
    struct Case {
        int32_t n;
        bool gaussian;
        int16_t k;
        int32_t points;
    };
    const Case cases[] = {{1024, true, 0, 1011},   {1024, true, 1, 2022},  {1024, true, 3, 8085},
                          {1024, false, 0, 1003},  {1024, true, 2, 4043},  {32, true, 0, 19},
                          {4096, false, 3, 16384}, {32768, true, 3, 16384}};
    for (const Case& c : cases) {
        auto data = sine(c.n, 0.01);
        const auto r = run(data, c.n, c.gaussian, c.k);
        EXPECT_EQ(r.npoints, c.points) << c.n << (c.gaussian ? " gaussian " : " flat ") << c.k;
        EXPECT_DOUBLE_EQ(r.xstep, (1.0 / kFs) / (1 << c.k));
    }
}

TEST(ResampleStageTest, NothingIsWrittenBeyondTheCap) {
    std::vector<float> data(131073, 0.5f);
    const auto r = run(data, 32768, true, 3);
    EXPECT_EQ(r.npoints, 16384);
    EXPECT_EQ(data[16384], 0.5f); // input left as it was from here on
    EXPECT_EQ(data[131072], 0.5f);
}

TEST(ResampleStageTest, GaussianStartsAtInputSampleEight) {
    std::vector<float> data(131073, 0.0f);
    for (int i = 0; i < 1024; ++i)
        data[i] = static_cast<float>(i);
    const auto r = run(data, 1024, true, 0);
    ASSERT_EQ(r.npoints, 1011);
    // The kernel is even with unit gain, so a ramp comes out as the ramp at positions 8, 9, ...
    for (int j = 0; j < r.npoints; ++j)
        ASSERT_NEAR(data[j], 8.0 + j, 2e-3 * (8.0 + j)) << j;
}

// RMS of the first n values, relative to a unit-amplitude sine (RMS 1/sqrt 2).
double gain(const std::vector<float>& d, int n) {
    double s = 0;
    for (int i = 0; i < n; ++i)
        s += static_cast<double>(d[i]) * d[i];
    return std::sqrt(2 * s / n);
}

TEST(ResampleStageTest, GaussianAloneFollowsTheKernelResponse) {
    // Kernel response 0.924 at 0.05 and 0.270 at 0.2 cycles per input sample.
    auto a = sine(1024, 0.05);
    run(a, 1024, true, 0);
    EXPECT_NEAR(gain(a, 1000), 0.924, 2e-3);
    auto b = sine(1024, 0.2);
    run(b, 1024, true, 0);
    EXPECT_NEAR(gain(b, 1000), 0.270, 2e-3);
}

TEST(ResampleStageTest, FlatResponseIsFlatToAQuarterOfTheRate) {
    // Equaliser times kernel: 1.000581 at 0.05, 0.999203 at 0.2, 0.998669 at 0.25, 0.172 at 0.4.
    const struct {
        double f, g, tol;
    } cases[] = {
        {0.05, 1.000581, 1e-4}, {0.2, 0.999203, 1e-4}, {0.25, 0.998669, 1e-4}, {0.4, 0.172, 2e-3}};
    for (const auto& c : cases) {
        auto d = sine(1024, c.f);
        run(d, 1024, false, 0);
        EXPECT_NEAR(gain(d, 1000), c.g, c.tol) << c.f;
    }
}

TEST(ResampleStageTest, EveryBlockStartsFromZeroState) {
    auto a = sine(2048, 0.03);
    auto b = a;
    run(a, 2048, false, 2);
    run(b, 512, true, 1); // a different block in between
    b = sine(2048, 0.03);
    run(b, 2048, false, 2);
    EXPECT_EQ(a, b);
}

} // namespace

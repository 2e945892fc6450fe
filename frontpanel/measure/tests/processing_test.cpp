// Per-block processing of the measurement loop with hand-worked numbers.
#include "processing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace {

using zr::kAvgExponential;
using zr::kAvgOff;
using zr::kAvgPeak;
using V = std::vector<float>;

TEST(ZoomPowerTest, EachComplexSampleBecomesItsPowerWithinTheArray) {
    V d = {3, 4, 1, 2, -2, 0.5f, 9, 9};
    zr::zoompower(d, 3);
    EXPECT_EQ(d, (V{25, 5, 4.25f, 2, -2, 0.5f, 9, 9}));
    V store = {1, 1, 2, 2, 3, 3, 7};
    zr::zoompower(std::span<float>(store.data(), 4), 100); // two complex samples fit
    EXPECT_EQ(store, (V{2, 8, 2, 2, 3, 3, 7}));
}

// Four bins over [0, 1) are centred on 0, 0.25, 0.5, 0.75; a value on an edge goes up, values
// beyond the outer bins are counted in them, a NaN in bin 0 outside the value range.
TEST(HistbuildTest, HandWorkedBins) {
    const float nan = std::nanf("");
    struct Case {
        V data;
        double low, high;
        V counts;
        double dmin, dmax;
    };
    const Case cases[] = {
        {{0.0f, 0.1f, 0.125f, 0.3f, 0.6f, 0.875f, -5.0f}, 0, 1, {3, 2, 1, 1}, -5, 0.875},
        {{nan, 0.5f, nan, -0.5f}, -1, 1, {2, 1, 0, 1}, -0.5, 0.5},
        {{-10, 3, 4}, 0.5, 0.5, {0, 0, 0, 0}, 42, 42},
    };
    for (const Case& c : cases) {
        V counts(5, 99.0f);
        double dmin = 42, dmax = 42;
        zr::histbuild(c.data, static_cast<int32_t>(c.data.size()), counts, 4, c.low, c.high, dmin,
                      dmax);
        EXPECT_EQ(counts, (V{c.counts[0], c.counts[1], c.counts[2], c.counts[3], 99})) << c.low;
        EXPECT_EQ(dmin, c.dmin) << c.low;
        EXPECT_EQ(dmax, c.dmax) << c.low;
    }
}

TEST(HistbuildTest, BadCountsNeverReachOutsideTheArrays) {
    V store(20, 3.0f);
    std::span<float> counts(store.data(), 8);
    const V data(4, 0.0f);
    double dmin = 0, dmax = 0;
    zr::histbuild(std::span<const float>(data.data(), 2), 1000, counts, 4096, -1, 1, dmin, dmax);
    zr::histbuild(data, 4, counts, -3, -1, 1, dmin, dmax);
    EXPECT_EQ(std::accumulate(store.begin(), store.begin() + 8, 0.0f), 2.0f);
    EXPECT_EQ(store[8], 3.0f);
    V disp(6, -1.0f);
    zr::copyhist(V{1, 2, 3, 4, 5}, disp, 100);
    EXPECT_EQ(disp, (V{1, 2, 3, 4, 5, -1}));
}

TEST(AutohistTest, LimitsOnAOneTwoFiveGrid) {
    const auto lim = zr::autohist(-0.8f, 0.9f, 10);
    ASSERT_TRUE(lim.has_value());
    EXPECT_NEAR(lim->histmin, -0.8, 1e-9);
    EXPECT_NEAR(lim->histmax, 1.2, 1e-9);
    // No range, or none that can be used: no change.
    EXPECT_FALSE(zr::autohist(0.3, 0.3, 10).has_value());
    EXPECT_FALSE(zr::autohist(0, INFINITY, 10).has_value());
    EXPECT_FALSE(zr::autohist(std::nan(""), 1, 10).has_value());
}

TEST(AverageTest, ExponentialFirstBlockReplacesLaterBlocksAverageUpToTheLimit) {
    V avg = {5, -7, 100};
    double avgcount = 0;
    zr::average(V{1, 2, 3}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (V{1, 2, 3}));
    zr::average(V{3, 2, 1}, avg, 3, kAvgExponential, avgcount, 10);
    zr::average(V{5, 2, 11}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (V{3, 2, 5}));
    EXPECT_EQ(avgcount, 3);
    avgcount = 10; // at the limit the weight stays 1/10
    avg = {0};
    zr::average(V{1}, avg, 1, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avgcount, 10);
    EXPECT_EQ(avg[0], static_cast<float>(1.0 / 10));
    // A limit below 1 counts as 1 (the weight would otherwise be infinite).
    zr::average(V{2}, avg, 1, kAvgExponential, avgcount, 0);
    EXPECT_EQ(avgcount, 1);
    EXPECT_EQ(avg[0], 2.0f);
}

TEST(AverageTest, PeakHoldKeepsStrictMaxima) {
    V avg(2, 100.0f);
    double avgcount = 0;
    zr::average(V{1, -0.0f}, avg, 2, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avg[0], 1.0f); // the first block replaces
    zr::average(V{0.5f, 0.0f}, avg, 2, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avg[0], 1.0f);
    EXPECT_TRUE(std::signbit(avg[1])); // +0 is not greater than -0
    for (int i = 0; i < 20; ++i)
        zr::average(V{0, 0}, avg, 2, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 22); // no upper limit
}

TEST(AverageTest, OffCopiesOtherKindsLeaveAverageAloneAndCountsStayInTheArrays) {
    V avg = {9, 9, 9};
    double avgcount = 5;
    zr::average(V{1, 2, 3}, avg, 2, kAvgOff, avgcount, 10);
    zr::average(V{7, 7, 7}, avg, 3, 3, avgcount, 10);
    EXPECT_EQ(avg, (V{1, 2, 9}));
    EXPECT_EQ(avgcount, 5);
    V store(8, 0.0f);
    zr::average(V{1, 2}, std::span<float>(store.data(), 4), 100000, kAvgOff, avgcount, 10);
    EXPECT_EQ(store, (V{1, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(ConvertDisplayTest, DecibelsForSpectrumPeakAmplitudeForZoomTimeCopyOtherwise) {
    V disp(4);
    zr::convertdisplay(V{100, 1e-3f, 0, -1}, disp, 4, zr::kModeSpectrum, zr::kDataBaseband);
    EXPECT_NEAR(disp[0], 20.0f, 1e-5);
    EXPECT_NEAR(disp[1], -30.0f, 1e-5);
    EXPECT_EQ(disp[3], -500.0f); // the floor for power that is not positive
    const V avg = {0.5f, 2, 0, -0.25f};
    disp.assign(4, 0.0f);
    zr::convertdisplay(avg, disp, 3, zr::kModeTime, zr::kDataZoom);
    EXPECT_EQ(disp, (V{1, 2, 0, 0})); // sqrt(2 * power); beyond npoints untouched
    zr::convertdisplay(avg, disp, 4, zr::kModeHistogram, zr::kDataZoom);
    EXPECT_EQ(disp, avg);
}

// The taps' response is checked with the resampling stage; here symmetry and the array limit.
TEST(FirKernelTest, SymmetricElevenTapsSummingToOneAndAShortArrayIsLeftAlone) {
    V k(12, 5.0f);
    zr::fillfirkernel(k);
    for (std::size_t i = 0; i <= 5; ++i)
        EXPECT_EQ(k[i], k[10 - i]) << i;
    EXPECT_EQ(k[11], 0.0f);
    EXPECT_NEAR(std::accumulate(k.begin(), k.begin() + 11, 0.0), 1.000001, 2e-6);
    V shortk(10, 5.0f);
    zr::fillfirkernel(shortk);
    EXPECT_EQ(shortk, V(10, 5.0f));
}

} // namespace

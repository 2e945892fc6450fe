// Per-block processing of the measurement loop with hand-worked numbers.
#include "processing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace {

using zr::kAvgExponential;
using zr::kAvgOff;
using zr::kAvgPeak;
using V = std::vector<float>;

bool allEqual(const V& v, float x) {
    return std::all_of(v.begin(), v.end(), [x](float y) { return y == x; });
}

TEST(ZoomPowerTest, EachComplexSampleBecomesItsPowerInPlaceWithinTheArray) {
    V d = {3, 4, 1, 2, -2, 0.5f, 9, 9};
    zr::zoompower(d, 3);
    EXPECT_EQ(d, (V{25, 5, 4.25f, 2, -2, 0.5f, 9, 9})); // beyond the count: as it was
    V store = {1, 1, 2, 2, 3, 3, 7};
    zr::zoompower(std::span<float>(store.data(), 4), 100); // two complex samples fit
    EXPECT_EQ(store, (V{2, 8, 2, 2, 3, 3, 7}));
}

// Four bins over [0, 1) are centred on 0, 0.25, 0.5, 0.75: the edges lie at 0.125, 0.375, 0.625,
// and a value exactly on an edge goes up. Values beyond the outer bins are counted in them, a NaN
// in bin 0 without taking part in the value range; equal limits give an empty histogram.
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
        {{-3, 1, 1e30f, 1}, -1, 1, {1, 0, 0, 3}, -3, 1e30f},
        {{nan, 0.5f, nan, -0.5f}, -1, 1, {2, 1, 0, 1}, -0.5, 0.5},
        {{-10, 3, 4}, 0.5, 0.5, {0, 0, 0, 0}, 42, 42},
    };
    for (const Case& c : cases) {
        V counts(5, 99.0f);
        double dmin = 42, dmax = 42;
        zr::histbuild(c.data, static_cast<int32_t>(c.data.size()), counts, 4, c.low, c.high, dmin,
                      dmax);
        EXPECT_EQ(counts, (V{c.counts[0], c.counts[1], c.counts[2], c.counts[3], 99})) << c.data[0];
        EXPECT_EQ(dmin, c.dmin) << c.data[0];
        EXPECT_EQ(dmax, c.dmax) << c.data[0];
    }
}

TEST(HistbuildTest, CountsAddUpToBlockLength) {
    std::mt19937 gen(7);
    std::normal_distribution<float> dist(0.0f, 2.0f);
    V data(32768);
    for (float& v : data)
        v = dist(gen);
    V counts(4096);
    for (int32_t nbins : {16, 256, 4096}) {
        for (auto [lo, hi] :
             {std::pair{-1.0, 1.0}, std::pair{-0.001, 0.002}, std::pair{3.0, -3.0}}) {
            double dmin = 0, dmax = 0;
            zr::histbuild(data, 32768, counts, nbins, lo, hi, dmin, dmax);
            const double sum = std::accumulate(counts.begin(), counts.begin() + nbins, 0.0);
            EXPECT_EQ(sum, 32768.0) << nbins << " " << lo << " " << hi;
            EXPECT_EQ(dmin, *std::min_element(data.begin(), data.end()));
            EXPECT_EQ(dmax, *std::max_element(data.begin(), data.end()));
        }
    }
}

TEST(HistbuildTest, NaNValuesAreCountedInFirstBinAndLeftOutOfRange) {
    const float nan = std::nanf("");
    V counts(4, 0.0f);
    double dmin = 9, dmax = 9;
    zr::histbuild(V{nan, 0.5f, nan, -0.5f}, 4, counts, 4, -1.0, 1.0, dmin, dmax);
    EXPECT_EQ(counts, (V{2, 1, 0, 1})); // -0.5: b = 1.5; 0.5: b = 3.5
    EXPECT_EQ(dmin, -0.5);
    EXPECT_EQ(dmax, 0.5);
}

TEST(HistbuildTest, BadCountsNeverReachOutsideTheArrays) {
    V store(20, 3.0f);
    std::span<float> counts(store.data(), 8);
    const V data(4, 0.0f);
    double dmin = 0, dmax = 0;
    zr::histbuild(std::span<const float>(data.data(), 2), 1000, counts, 4096, -1, 1, dmin, dmax);
    EXPECT_EQ(std::accumulate(store.begin(), store.begin() + 8, 0.0f), 2.0f);
    EXPECT_EQ(store[8], 3.0f);
    zr::histbuild(data, 4, counts, 0, -1, 1, dmin, dmax);
    zr::histbuild(data, 4, counts, -3, -1, 1, dmin, dmax);
    EXPECT_EQ(std::accumulate(store.begin(), store.begin() + 8, 0.0f), 2.0f);
}

TEST(CopyhistTest, CopiesTheBinCountsWithinBothArrays) {
    const V hist = {1, 2, 3, 4, 5};
    V disp(6, -1.0f);
    zr::copyhist(hist, disp, 4);
    EXPECT_EQ(disp, (V{1, 2, 3, 4, -1, -1}));
    zr::copyhist(hist, disp, 100);
    EXPECT_EQ(disp, (V{1, 2, 3, 4, 5, -1}));
}

TEST(AutohistTest, LimitsOnAOneTwoFiveGrid) {
    struct Case {
        double dmin, dmax, grids, lo, hi;
    };
    const Case cases[] = {
        {-0.8f, 0.9f, 10, -0.8, 1.2}, // the worked example
        {0, 100, 10, -40, 160},       // 10.9 rounds up to 20; centre 60
        {0, 0.5, 1, 0.25, 0.75},      // 0.3 rounds up to 0.5; centre 0.5
        {0, 1, 1, 0.5, 1.5},          // 0.6 rounds up to 1; centre 1
    };
    for (const Case& c : cases) {
        const auto lim = zr::autohist(c.dmin, c.dmax, c.grids);
        ASSERT_TRUE(lim.has_value()) << c.dmax;
        EXPECT_NEAR(lim->histmin, c.lo, 1e-9) << c.dmax;
        EXPECT_NEAR(lim->histmax, c.hi, 1e-9) << c.dmax;
    }
    // No range (before any histogram, a constant block) or none that can be used: no change.
    EXPECT_FALSE(zr::autohist(0, 0, 10).has_value());
    EXPECT_FALSE(zr::autohist(0.3, 0.3, 10).has_value());
    EXPECT_FALSE(zr::autohist(0, INFINITY, 10).has_value());
    EXPECT_FALSE(zr::autohist(std::nan(""), 1, 10).has_value());
}

TEST(AverageTest, ExponentialWeightsRiseToTheLimit) {
    // With the average at 0 and the new block at 1, the stored value is the weight itself.
    V disp(4, 1.0f), avg(4, 0.0f);
    double avgcount = 0;
    for (int block = 1; block <= 15; ++block) {
        std::fill(avg.begin(), avg.end(), 0.0f);
        zr::average(disp, avg, 4, kAvgExponential, avgcount, 10);
        const int expectcount = std::min(block, 10);
        EXPECT_EQ(avgcount, expectcount) << block;
        EXPECT_EQ(avg[0], static_cast<float>(1.0 / expectcount)) << block;
        EXPECT_EQ(avg[3], avg[0]);
    }
}

TEST(AverageTest, ExponentialFirstBlockReplacesAndLaterBlocksAverage) {
    V avg = {5, -7, 100};
    double avgcount = 0;
    zr::average(V{1, 2, 3}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (V{1, 2, 3}));
    zr::average(V{3, 2, 1}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (V{2, 2, 2}));
    zr::average(V{5, 2, 11}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (V{3, 2, 5}));
    EXPECT_EQ(avgcount, 3);
    // A limit below 1 counts as 1 (the weight would otherwise be infinite).
    avgcount = 4;
    zr::average(V{2, 2, 2}, avg, 1, kAvgExponential, avgcount, 0);
    EXPECT_EQ(avgcount, 1);
    EXPECT_EQ(avg[0], 2.0f);
}

TEST(AverageTest, PeakHoldKeepsStrictMaxima) {
    V avg(3, 100.0f);
    double avgcount = 0;
    zr::average(V{1, -0.0f, 3}, avg, 3, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 1);
    EXPECT_EQ(avg[0], 1.0f);
    EXPECT_TRUE(std::signbit(avg[1]));
    zr::average(V{0.5f, 0.0f, 4}, avg, 3, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 2);
    EXPECT_EQ(avg[0], 1.0f);
    // +0 equals the stored -0: not strictly greater, so the stored value stays.
    EXPECT_TRUE(std::signbit(avg[1]));
    EXPECT_EQ(avg[2], 4.0f);
    for (int i = 0; i < 20; ++i)
        zr::average(V{0, 0, 0}, avg, 3, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 22); // no upper limit
    // A running exponential average is continued, not restarted.
    V run(2, 0.0f);
    avgcount = 0;
    zr::average(V{2, 2}, run, 2, kAvgExponential, avgcount, 10);
    zr::average(V{1, 3}, run, 2, kAvgPeak, avgcount, 10);
    EXPECT_EQ(run, (V{2, 3}));
    EXPECT_EQ(avgcount, 2);
}

TEST(AverageTest, OffCopiesOtherKindsLeaveAverageAloneAndCountsStayInTheArrays) {
    V avg = {9, 9, 9};
    double avgcount = 5;
    zr::average(V{1, 2, 3}, avg, 2, kAvgOff, avgcount, 10);
    EXPECT_EQ(avg, (V{1, 2, 9}));
    EXPECT_EQ(avgcount, 5);
    zr::average(V{7, 7, 7}, avg, 3, 3, avgcount, 10);
    EXPECT_EQ(avg, (V{1, 2, 9}));
    EXPECT_EQ(avgcount, 5);
    V store(8, 0.0f);
    zr::average(V{1, 2}, std::span<float>(store.data(), 4), 100000, kAvgOff, avgcount, 10);
    EXPECT_EQ(store, (V{1, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(ConvertDisplayTest, DecibelsForSpectrumPeakAmplitudeForZoomTimeCopyOtherwise) {
    const V power = {1, 100, 1e-3f, 0, -1, 2};
    V disp(6);
    zr::convertdisplay(power, disp, 6, zr::kModeSpectrum, zr::kDataBaseband);
    EXPECT_NEAR(disp[0], 0.0f, 1e-6);
    EXPECT_NEAR(disp[1], 20.0f, 1e-5);
    EXPECT_NEAR(disp[2], -30.0f, 1e-5);
    EXPECT_EQ(disp[3], -500.0f); // the floor for power that is not positive
    EXPECT_EQ(disp[4], -500.0f);
    EXPECT_NEAR(disp[5], 3.0103f, 1e-4);

    const V avg = {0.5f, 2, 0, -0.25f};
    disp.assign(4, 0.0f);
    zr::convertdisplay(avg, disp, 3, zr::kModeTime, zr::kDataZoom);
    EXPECT_EQ(disp, (V{1, 2, 0, 0})); // sqrt(2 * power); beyond npoints untouched
    zr::convertdisplay(avg, disp, 4, zr::kModeTime, zr::kDataBaseband);
    EXPECT_EQ(disp, avg);
    disp.assign(4, 0.0f);
    zr::convertdisplay(avg, disp, 4, zr::kModeHistogram, zr::kDataZoom);
    EXPECT_EQ(disp, avg);
}

// Zoom data in the time domain: power first, averaged as power, then sqrt(2 * power).
TEST(ZoomTimeChain, MagnitudesAreAveragedAsPower) {
    V disp(4), avg(4);
    double avgcount = 0;
    // Block 1: |z| = 1 (0.6 + 0.8i); block 2: |z| = 3 (0 + 3i).
    for (auto z : {std::pair{0.6f, 0.8f}, std::pair{0.0f, 3.0f}}) {
        disp[0] = z.first;
        disp[1] = z.second;
        zr::zoompower(disp, 1);
        zr::average(disp, avg, 1, kAvgExponential, avgcount, 10);
    }
    zr::convertdisplay(avg, disp, 1, zr::kModeTime, zr::kDataZoom);
    // Average power (1 + 9) / 2 = 5 shows as sqrt(10), not sqrt(2) times the mean magnitude 2.
    EXPECT_NEAR(disp[0], std::sqrt(10.0f), 1e-6);
}

TEST(FirKernelTest, SymmetricElevenTapsSummingToOne) {
    V k(12, 5.0f);
    zr::fillfirkernel(k);
    const double half[6] = {-0.166315397211716, 1.3403462,         -5.43629855311873,
                            14.388607,          -26.7291162725784, 34.205555};
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(k[i], static_cast<float>(half[i <= 5 ? i : 10 - i])) << i;
    EXPECT_EQ(k[11], 0.0f);
    EXPECT_NEAR(std::accumulate(k.begin(), k.begin() + 11, 0.0), 1.000001, 2e-6);
    // The equaliser's response at 0.25 cycles per sample, taps centred on 5, lifts what the
    // resampling kernel attenuates.
    double r = 0;
    for (int m = 0; m <= 10; ++m)
        r += k[m] * std::cos(2 * M_PI * 0.25 * (m - 5));
    EXPECT_GT(r, 1.0);
    V shortk(10, 5.0f);
    zr::fillfirkernel(shortk);
    EXPECT_TRUE(allEqual(shortk, 5.0f));
}

} // namespace

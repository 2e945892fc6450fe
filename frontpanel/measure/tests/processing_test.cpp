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

// ---- Power of complex samples ------------------------------------------------------------------

TEST(ZoomPowerTest, EachComplexSampleBecomesItsPowerInPlace) {
    std::vector<float> d = {3, 4, 1, 2, -2, 0.5f, 9, 9};
    zr::zoompower(d, 3);
    EXPECT_EQ(d[0], 25.0f);
    EXPECT_EQ(d[1], 5.0f);
    EXPECT_EQ(d[2], 4.25f);
    // Values beyond the first count are left as they were.
    EXPECT_EQ(d[3], 2.0f);
    EXPECT_EQ(d[6], 9.0f);
    EXPECT_EQ(d[7], 9.0f);
}

TEST(ZoomPowerTest, CountIsLimitedToTheArray) {
    std::vector<float> store = {1, 1, 2, 2, 3, 3, 7};
    zr::zoompower(std::span<float>(store.data(), 4), 100); // two complex samples fit
    EXPECT_EQ(store[0], 2.0f);
    EXPECT_EQ(store[1], 8.0f);
    EXPECT_EQ(store[2], 2.0f);
    EXPECT_EQ(store[4], 3.0f);
}

// ---- Histogram ---------------------------------------------------------------------------------

TEST(HistbuildTest, BinsAreCentredOnTheirValues) {
    // Four bins over [0, 1): bin k is centred on k / 4, so the edges lie at 0.125, 0.375, 0.625.
    const std::vector<float> data = {0.0f, 0.1f, 0.125f, 0.3f, 0.6f, 0.875f, -5.0f};
    std::vector<float> counts(10, 99.0f);
    double dmin = 42, dmax = 42;
    zr::histbuild(data, 7, counts, 4, 0.0, 1.0, dmin, dmax);
    EXPECT_EQ(counts[0], 3.0f);  // 0, 0.1 and -5 (below the lowest edge)
    EXPECT_EQ(counts[1], 2.0f);  // 0.125 (exactly on the edge goes up) and 0.3
    EXPECT_EQ(counts[2], 1.0f);  // 0.6
    EXPECT_EQ(counts[3], 1.0f);  // 0.875: at the upper edge of the last bin
    EXPECT_EQ(counts[4], 99.0f); // beyond nbins: untouched
    EXPECT_EQ(dmin, -5.0);
    EXPECT_EQ(dmax, static_cast<double>(0.875f));
}

TEST(HistbuildTest, OuterBinsCollectEverythingOutside) {
    std::vector<float> counts(16, 0.0f);
    double dmin = 0, dmax = 0;
    const std::vector<float> below(100, -3.0f);
    zr::histbuild(below, 100, counts, 16, -1.0, 1.0, dmin, dmax);
    EXPECT_EQ(counts[0], 100.0f);
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0.0f), 100.0f);
    EXPECT_EQ(dmin, -3.0);
    EXPECT_EQ(dmax, -3.0);

    std::vector<float> above(50, 1.0f); // exactly at histmax
    above[7] = 1e30f;
    zr::histbuild(above, 50, counts, 16, -1.0, 1.0, dmin, dmax);
    EXPECT_EQ(counts[15], 50.0f);
    EXPECT_EQ(counts[0], 0.0f); // cleared from the previous block
    EXPECT_EQ(dmin, 1.0);
    EXPECT_EQ(dmax, 1e30f);
}

TEST(HistbuildTest, EqualLimitsGiveEmptyHistogramAndKeepRange) {
    std::vector<float> counts(8, 5.0f);
    double dmin = -0.25, dmax = 0.75;
    const std::vector<float> data = {-10, 3, 4};
    zr::histbuild(data, 3, counts, 8, 0.5, 0.5, dmin, dmax);
    EXPECT_TRUE(std::all_of(counts.begin(), counts.end(), [](float c) { return c == 0.0f; }));
    EXPECT_EQ(dmin, -0.25);
    EXPECT_EQ(dmax, 0.75);
}

TEST(HistbuildTest, CountsAddUpToBlockLength) {
    std::mt19937 gen(7);
    std::normal_distribution<float> dist(0.0f, 2.0f);
    std::vector<float> data(32768);
    for (float& v : data)
        v = dist(gen);
    std::vector<float> counts(4096);
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
    const std::vector<float> data = {nan, 0.5f, nan, -0.5f};
    std::vector<float> counts(4, 0.0f);
    double dmin = 9, dmax = 9;
    zr::histbuild(data, 4, counts, 4, -1.0, 1.0, dmin, dmax);
    EXPECT_EQ(counts[0], 2.0f);
    EXPECT_EQ(counts[1], 1.0f); // -0.5: b = 1.5
    EXPECT_EQ(counts[3], 1.0f); // 0.5: b = 3.5
    EXPECT_EQ(dmin, -0.5);
    EXPECT_EQ(dmax, 0.5);
}

TEST(HistbuildTest, BadCountsNeverReachOutsideTheArrays) {
    std::vector<float> store(20, 3.0f);
    std::span<float> counts(store.data(), 8);
    const std::vector<float> data(4, 0.0f);
    double dmin = 0, dmax = 0;
    zr::histbuild(std::span<const float>(data.data(), 2), 1000, counts, 4096, -1, 1, dmin, dmax);
    EXPECT_EQ(std::accumulate(store.begin(), store.begin() + 8, 0.0f), 2.0f);
    EXPECT_EQ(store[8], 3.0f);
    zr::histbuild(data, 4, counts, 0, -1, 1, dmin, dmax);
    zr::histbuild(data, 4, counts, -3, -1, 1, dmin, dmax);
    EXPECT_EQ(std::accumulate(store.begin(), store.begin() + 8, 0.0f), 2.0f);
}

TEST(CopyhistTest, CopiesTheBinCounts) {
    const std::vector<float> hist = {1, 2, 3, 4, 5};
    std::vector<float> disp(6, -1.0f);
    zr::copyhist(hist, disp, 4);
    EXPECT_EQ(disp, (std::vector<float>{1, 2, 3, 4, -1, -1}));
    zr::copyhist(hist, disp, 100);
    EXPECT_EQ(disp, (std::vector<float>{1, 2, 3, 4, 5, -1}));
}

// ---- Auto Limit Set ----------------------------------------------------------------------------

TEST(AutohistTest, WorkedExample) {
    const auto lim = zr::autohist(-0.8f, 0.9f, 10);
    ASSERT_TRUE(lim.has_value());
    EXPECT_NEAR(lim->histmin, -0.8, 1e-12);
    EXPECT_NEAR(lim->histmax, 1.2, 1e-12);
}

TEST(AutohistTest, GridStepsOfOneTwoAndFive) {
    // 0 .. 100, 10 divisions: 10.9 rounds up to 20; centre 60.
    auto lim = zr::autohist(0, 100, 10);
    ASSERT_TRUE(lim.has_value());
    EXPECT_NEAR(lim->histmin, -40, 1e-9);
    EXPECT_NEAR(lim->histmax, 160, 1e-9);
    // 0 .. 0.5, 1 division: 0.3 rounds up to 0.5; centre 0.5.
    lim = zr::autohist(0, 0.5, 1);
    ASSERT_TRUE(lim.has_value());
    EXPECT_NEAR(lim->histmin, 0.25, 1e-12);
    EXPECT_NEAR(lim->histmax, 0.75, 1e-12);
    // 0 .. 1, 1 division: 0.6 rounds up to 1; centre 1.
    lim = zr::autohist(0, 1, 1);
    ASSERT_TRUE(lim.has_value());
    EXPECT_NEAR(lim->histmin, 0.5, 1e-12);
    EXPECT_NEAR(lim->histmax, 1.5, 1e-12);
}

TEST(AutohistTest, NothingChangesWithoutARange) {
    EXPECT_FALSE(zr::autohist(0, 0, 10).has_value()); // before any histogram
    EXPECT_FALSE(zr::autohist(0.3, 0.3, 10).has_value());
    EXPECT_FALSE(zr::autohist(0, INFINITY, 10).has_value());
    EXPECT_FALSE(zr::autohist(std::nan(""), 1, 10).has_value());
}

// ---- Averaging ---------------------------------------------------------------------------------

TEST(AverageTest, ExponentialWeightsRiseToTheLimit) {
    // With the average at 0 and the new block at 1, the stored value is the weight itself.
    std::vector<float> disp(4, 1.0f), avg(4, 0.0f);
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

TEST(AverageTest, ExponentialFirstBlockReplacesAndAveragesInDouble) {
    std::vector<float> avg = {5, -7, 100};
    double avgcount = 0;
    zr::average(std::vector<float>{1, 2, 3}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{1, 2, 3}));
    zr::average(std::vector<float>{3, 2, 1}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{2, 2, 2}));
    zr::average(std::vector<float>{5, 2, 11}, avg, 3, kAvgExponential, avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{3, 2, 5}));
    EXPECT_EQ(avgcount, 3);
}

TEST(AverageTest, ExponentialLimitBelowOneCountsAsOne) {
    std::vector<float> avg = {5};
    double avgcount = 4;
    zr::average(std::vector<float>{2}, avg, 1, kAvgExponential, avgcount, 0);
    EXPECT_EQ(avgcount, 1);
    EXPECT_EQ(avg[0], 2.0f);
}

TEST(AverageTest, PeakHoldKeepsStrictMaxima) {
    std::vector<float> avg(3, 100.0f);
    double avgcount = 0;
    zr::average(std::vector<float>{1, -0.0f, 3}, avg, 3, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 1);
    EXPECT_EQ(avg[0], 1.0f);
    EXPECT_TRUE(std::signbit(avg[1]));
    zr::average(std::vector<float>{0.5f, 0.0f, 4}, avg, 3, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 2);
    EXPECT_EQ(avg[0], 1.0f);
    // +0 equals the stored -0: not strictly greater, so the stored value stays.
    EXPECT_TRUE(std::signbit(avg[1]));
    EXPECT_EQ(avg[2], 4.0f);
    for (int i = 0; i < 20; ++i)
        zr::average(std::vector<float>{0, 0, 0}, avg, 3, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avgcount, 22); // no upper limit
}

TEST(AverageTest, PeakContinuesFromExponentialAverage) {
    std::vector<float> avg(2, 0.0f);
    double avgcount = 0;
    zr::average(std::vector<float>{2, 2}, avg, 2, kAvgExponential, avgcount, 10);
    zr::average(std::vector<float>{1, 3}, avg, 2, kAvgPeak, avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{2, 3}));
    EXPECT_EQ(avgcount, 2);
}

TEST(AverageTest, OffCopiesAndOtherKindsLeaveAverageAlone) {
    std::vector<float> avg = {9, 9, 9};
    double avgcount = 5;
    zr::average(std::vector<float>{1, 2, 3}, avg, 2, kAvgOff, avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{1, 2, 9}));
    EXPECT_EQ(avgcount, 5);
    zr::average(std::vector<float>{7, 7, 7}, avg, 3, 3, avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{1, 2, 9}));
    EXPECT_EQ(avgcount, 5);
}

TEST(AverageTest, CountIsLimitedToTheArrays) {
    std::vector<float> avg(8, 0.0f);
    double avgcount = 0;
    zr::average(std::vector<float>{1, 2}, std::span<float>(avg.data(), 4), 100000, kAvgOff,
                avgcount, 10);
    EXPECT_EQ(avg, (std::vector<float>{1, 2, 0, 0, 0, 0, 0, 0}));
}

// ---- Conversion for display --------------------------------------------------------------------

TEST(ConvertDisplayTest, SpectrumInDecibelsWithFloorForNonPositivePower) {
    const std::vector<float> avg = {1, 100, 1e-3f, 0, -1, 2};
    std::vector<float> disp(6);
    zr::convertdisplay(avg, disp, 6, zr::kModeSpectrum, zr::kDataBaseband);
    EXPECT_NEAR(disp[0], 0.0f, 1e-6);
    EXPECT_NEAR(disp[1], 20.0f, 1e-5);
    EXPECT_NEAR(disp[2], -30.0f, 1e-5);
    EXPECT_EQ(disp[3], -500.0f);
    EXPECT_EQ(disp[4], -500.0f);
    EXPECT_NEAR(disp[5], 3.0103f, 1e-4);
}

TEST(ConvertDisplayTest, AllZeroSpectrumShowsFloor) {
    const std::vector<float> avg(1024, 0.0f);
    std::vector<float> disp(1024, 1.0f);
    zr::convertdisplay(avg, disp, 1024, zr::kModeSpectrum, zr::kDataZoom);
    EXPECT_TRUE(std::all_of(disp.begin(), disp.end(), [](float v) { return v == -500.0f; }));
}

TEST(ConvertDisplayTest, ZoomTimeShowsPeakAmplitudeOthersCopy) {
    const std::vector<float> avg = {0.5f, 2, 0, -0.25f};
    std::vector<float> disp(4);
    zr::convertdisplay(avg, disp, 3, zr::kModeTime, zr::kDataZoom);
    EXPECT_EQ(disp[0], 1.0f);
    EXPECT_EQ(disp[1], 2.0f);
    EXPECT_EQ(disp[2], 0.0f);
    EXPECT_EQ(disp[3], 0.0f); // beyond npoints
    zr::convertdisplay(avg, disp, 4, zr::kModeTime, zr::kDataBaseband);
    EXPECT_EQ(disp, avg);
    std::fill(disp.begin(), disp.end(), 0.0f);
    zr::convertdisplay(avg, disp, 4, zr::kModeHistogram, zr::kDataZoom);
    EXPECT_EQ(disp, avg);
}

// Zoom data in the time domain: power first, averaged as power, then sqrt(2 * power).
TEST(ZoomTimeChain, MagnitudesAreAveragedAsPower) {
    std::vector<float> disp(4), avg(4);
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

// ---- Equaliser taps ----------------------------------------------------------------------------

TEST(FirKernelTest, SymmetricElevenTapsSummingToOne) {
    std::vector<float> k(12, 5.0f);
    zr::fillfirkernel(k);
    EXPECT_EQ(k[0], static_cast<float>(-0.166315397211716));
    EXPECT_EQ(k[1], 1.3403462f);
    EXPECT_EQ(k[2], static_cast<float>(-5.43629855311873));
    EXPECT_EQ(k[3], 14.388607f);
    EXPECT_EQ(k[4], static_cast<float>(-26.7291162725784));
    EXPECT_EQ(k[5], 34.205555f);
    for (int i = 6; i <= 10; ++i)
        EXPECT_EQ(k[i], k[10 - i]) << i;
    EXPECT_EQ(k[11], 0.0f);
    const double sum = std::accumulate(k.begin(), k.begin() + 11, 0.0);
    EXPECT_NEAR(sum, 1.000001, 2e-6);
    // The equaliser's response at 0.25 cycles per sample: taps centred on 5.
    double r = 0;
    for (int m = 0; m <= 10; ++m)
        r += k[m] * std::cos(2 * M_PI * 0.25 * (m - 5));
    EXPECT_GT(r, 1.0); // lifts what the resampling kernel attenuates
    std::vector<float> shortk(10, 5.0f);
    zr::fillfirkernel(shortk);
    EXPECT_EQ(shortk, std::vector<float>(10, 5.0f));
}

} // namespace

// ---- Resampling stage: arguments handed to the library ----------------------------------------

namespace fake {

struct FirCall {
    int calls = 0;
    const float* input = nullptr;
    int32_t count = 0;
    const float* taps = nullptr;
    int32_t ntaps = 0;
    bool statezero = false;
} fir;

struct ResampleCall {
    int calls = 0;
    std::vector<float> input;
    int32_t count = 0;
    int32_t maxout = 0;
    float position = 0;
    float step = 0;
    bool historyzero = false;
    int32_t answer = 0;
} res;

void firfn(const float* input, float* output, int32_t count, const float* taps, int32_t ntaps,
           float* state) {
    ++fir.calls;
    fir.input = input;
    fir.count = count;
    fir.taps = taps;
    fir.ntaps = ntaps;
    fir.statezero = std::all_of(state, state + ntaps, [](float v) { return v == 0.0f; });
    for (int32_t i = 0; i < count; ++i)
        output[i] = -input[i]; // recognisable
    state[0] = 123.0f;         // dirty the state: the next block must not see it
}

void resamplefn(const float* input, int32_t count, float* output, int32_t maxout, int32_t* produced,
                float* position, float step, float* history) {
    ++res.calls;
    res.input.assign(input, input + count + 1); // the work buffer holds count + 1 values
    res.count = count;
    res.maxout = maxout;
    res.position = *position;
    res.step = step;
    res.historyzero = std::all_of(history, history + 11, [](float v) { return v == 0.0f; });
    history[3] = 5.0f;
    for (int32_t i = 0; i < res.answer; ++i)
        output[i] = 42.0f;
    *produced = res.answer;
}

} // namespace fake

TEST(ResampleBlockTest, GaussianCopiesTheBlockAndStartsAtEight) {
    fake::res = {};
    fake::fir = {};
    fake::res.answer = 7;
    std::vector<float> data(131073, 0.0f);
    for (int i = 0; i < 64; ++i)
        data[i] = static_cast<float>(i + 1);
    std::vector<float> kern(12, 0.0f);
    for (int block = 0; block < 2; ++block) {
        const auto r =
            zr::resampleblock(data, 64, true, kern, 1, 1000.0, &fake::firfn, &fake::resamplefn);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->npoints, 7);
        EXPECT_DOUBLE_EQ(r->xstep, 0.0005);
        EXPECT_EQ(fake::fir.calls, 0);
        EXPECT_EQ(fake::res.count, 64);
        EXPECT_EQ(fake::res.input[0], block == 0 ? 1.0f : 42.0f);
        EXPECT_EQ(fake::res.input[64], 0.0f); // the extra element of the work buffer is zero
        EXPECT_EQ(fake::res.maxout, 16384);
        EXPECT_EQ(fake::res.position, 8.0f);
        EXPECT_EQ(fake::res.step, 0.5f);
        EXPECT_TRUE(fake::res.historyzero) << block;
        for (int i = 0; i < 7; ++i)
            data[i + 1] = static_cast<float>(i + 2); // restore all but the first
    }
    EXPECT_EQ(fake::res.calls, 2);
}

TEST(ResampleBlockTest, FlatRunsTheEqualiserFirstAndStartsAtSixteen) {
    fake::res = {};
    fake::fir = {};
    fake::res.answer = 3;
    std::vector<float> data(131073, 2.0f);
    std::vector<float> kern(12, 0.0f);
    zr::fillfirkernel(kern);
    for (int block = 0; block < 2; ++block) {
        const auto r =
            zr::resampleblock(data, 100, false, kern, 3, 2e6, &fake::firfn, &fake::resamplefn);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->npoints, 3);
        EXPECT_DOUBLE_EQ(r->xstep, 1.0 / 2e6 / 8);
        EXPECT_EQ(fake::fir.input, data.data());
        EXPECT_EQ(fake::fir.count, 100);
        EXPECT_EQ(fake::fir.taps, kern.data());
        EXPECT_EQ(fake::fir.ntaps, 11);
        EXPECT_TRUE(fake::fir.statezero) << block;
        EXPECT_EQ(fake::res.input[99], -2.0f); // the resampler reads the equaliser's output
        EXPECT_EQ(fake::res.position, 16.0f);
        EXPECT_EQ(fake::res.step, 0.125f);
        EXPECT_TRUE(fake::res.historyzero) << block;
    }
}

TEST(ResampleBlockTest, UnusableArgumentsLeaveTheBlockAlone) {
    fake::res = {};
    fake::fir = {};
    std::vector<float> data(256, 1.0f);
    std::vector<float> kern(12, 0.0f);
    std::vector<float> shortkern(10, 0.0f);
    EXPECT_FALSE(zr::resampleblock(data, 0, true, kern, 0, 1e6, &fake::firfn, &fake::resamplefn));
    EXPECT_FALSE(zr::resampleblock(data, 64, true, kern, 0, 1e6, &fake::firfn, nullptr));
    EXPECT_FALSE(zr::resampleblock(data, 64, false, kern, 0, 1e6, nullptr, &fake::resamplefn));
    EXPECT_FALSE(
        zr::resampleblock(data, 64, false, shortkern, 0, 1e6, &fake::firfn, &fake::resamplefn));
    EXPECT_EQ(fake::fir.calls + fake::res.calls, 0);
    EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](float v) { return v == 1.0f; }));
    // A block array smaller than the cap limits both the count and the output capacity.
    fake::res.answer = 100;
    const auto r =
        zr::resampleblock(data, 1000, true, kern, 0, 1e6, &fake::firfn, &fake::resamplefn);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(fake::res.count, 256);
    EXPECT_EQ(fake::res.maxout, 256);
    EXPECT_EQ(r->npoints, 100);
}

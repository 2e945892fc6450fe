// One pass after the read, with recording stand-ins for the library: which transform runs for
// which mode and data type, and what reaches averaging and display. Resampling is checked with
// the real library and in the window.
#include "pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

using zr::MeasureState;
using zr::PassSetup;

struct Calls {
    int real = 0, complex = 0;
    int32_t count = 0;
    int16_t mode = -1;
} calls;

// Counts the call in `counter` and writes power i into line i.
template <int Calls::*counter>
void fake(const float*, float* out, const float*, int32_t n, int16_t mode) {
    ++(calls.*counter);
    calls.count = n;
    calls.mode = mode;
    std::iota(out, out + n, 0.0f);
}
const zr::DspFunctions kFakes{&fake<&Calls::real>, &fake<&Calls::complex>, nullptr, nullptr};

struct ProcessBlockTest : ::testing::Test {
    MeasureState m;
    PassSetup p;
    void SetUp() override { calls = {}; }
    zr::PassResult run() { return zr::processblock(m, p, kFakes); }
};

TEST_F(ProcessBlockTest, SpectrumOfBasebandBlockInDecibels) {
    m.modeindex = zr::kModeSpectrum;
    p.blocklen = 1024;
    p.npoints = 513;
    const auto r = run();
    EXPECT_EQ(calls.complex, 0);
    EXPECT_EQ(calls.real, 1);
    EXPECT_EQ(calls.count, 1024);
    EXPECT_EQ(calls.mode, 1);
    EXPECT_EQ(r.npoints, 513);
    EXPECT_NEAR(m.dispdata[100], 20.0f, 1e-5);
    EXPECT_EQ(m.avgdata[512], 512.0f); // averaged before the logarithm
    EXPECT_EQ(m.avgdata[513], 0.0f);   // beyond npoints
}

TEST_F(ProcessBlockTest, ZoomSpectrumUsesTheComplexTransformWhenTheBlockFits) {
    m.modeindex = zr::kModeSpectrum;
    p.blocklen = 2048;
    p.datatypeindex = zr::kDataZoom;
    p.npoints = 2048;
    run();
    EXPECT_EQ(calls.real, 0);
    EXPECT_EQ(calls.complex, 1);
    EXPECT_EQ(calls.count, 2048);
    p.blocklen = 65537; // 2 * 65537 complex values do not fit the arrays
    p.npoints = 16;
    run();
    EXPECT_EQ(calls.complex, 1);
    zr::processblock(m, p, zr::DspFunctions{}); // nothing bound: no call, no crash
}

TEST_F(ProcessBlockTest, HistogramOfZoomDataCountsSamplePowers) {
    m.modeindex = zr::kModeHistogram;
    m.histmin = 0;
    m.histmax = 100;
    const float samples[] = {3, 4, 4, 3, 0, 10, 0, 0}; // powers 25, 25, 100, 0
    std::copy(std::begin(samples), std::end(samples), m.dispdata.begin());
    p.blocklen = 4;
    p.datatypeindex = zr::kDataZoom;
    p.nbins = 4;
    p.npoints = 4;
    run();
    EXPECT_EQ(std::vector<float>(m.dispdata.begin(), m.dispdata.begin() + 4),
              (std::vector<float>{1, 2, 0, 1}));
    EXPECT_EQ(calls.real + calls.complex, 0);
}

} // namespace

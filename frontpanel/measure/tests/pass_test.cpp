// One pass after the read, with recording stand-ins for the library: which transform runs for
// which mode and data type, and what reaches averaging and display.
#include "pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using zr::MeasureState;
using zr::PassSetup;
using zr::ResampMode;

struct SpectrumCall {
    int calls = 0;
    const float* data = nullptr;
    float* out = nullptr;
    const float* window = nullptr;
    int32_t count = 0;
    int16_t mode = -1;
};
SpectrumCall realcall, complexcall;
int resamplecalls = 0;

// Writes power i into line i so the conversion to decibels can be checked.
void record(SpectrumCall& c, const float* data, float* out, const float* window, int32_t count,
            int16_t mode) {
    c = {c.calls + 1, data, out, window, count, mode};
    for (int32_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(i);
}
void spectrumfn(const float* d, float* o, const float* w, int32_t n, int16_t mode) {
    record(realcall, d, o, w, n, mode);
}
void cspectrumfn(const float* d, float* o, const float* w, int32_t n, int16_t mode) {
    record(complexcall, d, o, w, n, mode);
}
void firfn(const float* in, float* out, int32_t n, const float*, int32_t, float*) {
    std::copy(in, in + n, out);
}
void resamplefn(const float*, int32_t, float* out, int32_t, int32_t* produced, float*, float,
                float*) {
    ++resamplecalls;
    std::fill(out, out + 5, 0.25f);
    *produced = 5;
}

const zr::DspFunctions kFakes{&spectrumfn, &cspectrumfn, &firfn, &resamplefn};

struct ProcessBlockTest : ::testing::Test {
    MeasureState m;
    PassSetup p;
    void SetUp() override {
        realcall = {};
        complexcall = {};
        resamplecalls = 0;
    }
    zr::PassResult run() { return zr::processblock(m, p, kFakes); }
};

TEST_F(ProcessBlockTest, SpectrumOfBasebandBlockInDecibels) {
    m.modeindex = zr::kModeSpectrum;
    p.blocklen = 1024;
    p.npoints = 513;
    p.xstep = 20000;
    const auto r = run();
    EXPECT_EQ(realcall.calls, 1);
    EXPECT_EQ(complexcall.calls, 0);
    EXPECT_EQ(realcall.data, m.dispdata.data());
    EXPECT_EQ(realcall.out, m.dispdata.data());
    EXPECT_EQ(realcall.window, m.windowbuf.data());
    EXPECT_EQ(realcall.count, 1024);
    EXPECT_EQ(realcall.mode, 1);
    EXPECT_EQ(r.npoints, 513);
    EXPECT_EQ(r.xstep, 20000);
    EXPECT_FALSE(r.resampled);
    EXPECT_EQ(m.dispdata[0], -500.0f);
    EXPECT_NEAR(m.dispdata[10], 10.0f, 1e-5);
    EXPECT_NEAR(m.dispdata[100], 20.0f, 1e-5);
    EXPECT_EQ(m.avgdata[512], 512.0f); // averaged before the logarithm (Off: the power itself)
    EXPECT_EQ(m.avgdata[513], 0.0f);   // beyond npoints
}

TEST_F(ProcessBlockTest, ZoomSpectrumUsesTheComplexTransformWhenTheBlockFits) {
    m.modeindex = zr::kModeSpectrum;
    p.blocklen = 2048;
    p.datatypeindex = zr::kDataZoom;
    p.npoints = 2048;
    run();
    EXPECT_EQ(realcall.calls, 0);
    EXPECT_EQ(complexcall.calls, 1);
    EXPECT_EQ(complexcall.count, 2048);
    p.blocklen = 65537; // 2 * 65537 complex values do not fit the arrays
    p.npoints = 16;
    run();
    EXPECT_EQ(complexcall.calls, 1);
    zr::processblock(m, p, zr::DspFunctions{}); // nothing bound: no call, no crash
}

TEST_F(ProcessBlockTest, HistogramOfZoomDataCountsSamplePowers) {
    m.modeindex = zr::kModeHistogram;
    m.histmin = 0;
    m.histmax = 100;
    // Four complex samples with powers 25, 25, 100, 0.
    const float samples[] = {3, 4, 4, 3, 0, 10, 0, 0};
    std::copy(std::begin(samples), std::end(samples), m.dispdata.begin());
    p.blocklen = 4;
    p.datatypeindex = zr::kDataZoom;
    p.nbins = 4;
    p.npoints = 4;
    run();
    // Bins of width 25 centred on 0, 25, 50, 75: 0 -> bin 0; 25 -> bin 1; 100 -> last bin.
    EXPECT_EQ(std::vector<float>(m.dispdata.begin(), m.dispdata.begin() + 4),
              (std::vector<float>{1, 2, 0, 1}));
    EXPECT_EQ(m.datamin, 0.0);
    EXPECT_EQ(m.datamax, 100.0);
    EXPECT_EQ(realcall.calls + complexcall.calls + resamplecalls, 0);
}

TEST_F(ProcessBlockTest, TimeDomainResamplesOnlyBasebandWithAnOption) {
    p.blocklen = 64;
    p.npoints = 64;
    p.xstep = 1e-6;
    p.fs = 1e6;
    EXPECT_EQ(run().npoints, 64); // "Default"
    EXPECT_EQ(resamplecalls, 0);

    p.resampmode = ResampMode::Gaussian;
    m.resampindex = 2;
    auto r = run();
    EXPECT_EQ(resamplecalls, 1);
    EXPECT_TRUE(r.resampled);
    EXPECT_EQ(r.npoints, 5);
    EXPECT_DOUBLE_EQ(r.xstep, 0.25e-6);
    EXPECT_EQ(m.dispdata[4], 0.25f);

    p.resampmode = ResampMode::Flat;
    zr::fillfirkernel(m.firkernel);
    EXPECT_TRUE(run().resampled);
    EXPECT_EQ(resamplecalls, 2);

    // Zoom data is never resampled; the time trace shows sqrt(2) times the magnitude.
    p.datatypeindex = zr::kDataZoom;
    p.npoints = 2;
    const float z[] = {0.6f, 0.8f, 0, -2};
    std::copy(std::begin(z), std::end(z), m.dispdata.begin());
    r = run();
    EXPECT_FALSE(r.resampled);
    EXPECT_NEAR(m.dispdata[0], std::sqrt(2.0f), 1e-6);
    EXPECT_NEAR(m.dispdata[1], 2 * std::sqrt(2.0f), 1e-6);

    // Spectrum and histogram blocks are never resampled either.
    p.datatypeindex = zr::kDataBaseband;
    p.nbins = 16;
    for (int16_t mode : {zr::kModeHistogram, zr::kModeSpectrum}) {
        m.modeindex = mode;
        EXPECT_FALSE(run().resampled) << mode;
    }
    EXPECT_EQ(resamplecalls, 2);
}

} // namespace

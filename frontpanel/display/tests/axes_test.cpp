#include "axes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

using namespace zr;

XAxisInputs zoomSpectrum5MHz() {
    XAxisInputs in;
    in.modeindex = kModeSpectrum;
    in.datatypeindex = 1;
    in.blocklen = 1024;
    in.fs = 20480000.0;
    in.clockfreq = 20480000.0;
    in.centerfrac = 5000000.0 / 20480000.0;
    return in;
}

TEST(XAxis, PerMode) {
    XAxisInputs in;
    in.fs = 20480000.0;
    in.blocklen = 1024;

    // Baseband spectrum: 512 lines spaced fs / 1024, starting at the centre value.
    in.modeindex = kModeSpectrum;
    in.centerfrac = 0.25;
    XAxis b = computeXAxis(in);
    EXPECT_DOUBLE_EQ(b.xstart, 5120000.0);
    EXPECT_DOUBLE_EQ(b.xstep, 20000.0);
    EXPECT_EQ(b.npoints, 512);

    // Zoom spectrum: centre +- fs/2 with blocklen lines.
    XAxis z = computeXAxis(zoomSpectrum5MHz());
    EXPECT_NEAR(z.xstart, -5240000.0, 1e-6);
    EXPECT_DOUBLE_EQ(z.xstep, 20000.0);
    EXPECT_EQ(z.npoints, 1024);

    in.modeindex = kModeHistogram;
    in.histmin = -1.0;
    in.histmax = 1.0;
    in.nbins = 256;
    XAxis h = computeXAxis(in);
    EXPECT_EQ(h.xstart, -1.0);
    EXPECT_DOUBLE_EQ(h.xstep, 2.0 / 256.0);
    EXPECT_EQ(h.npoints, 256);
}

TEST(XAxis, ResampledTimeDomain) {
    XAxisInputs in;
    in.modeindex = kModeTime;
    in.fs = 1000.0;
    in.blocklen = 1024;
    in.resampGaussian = true;
    EXPECT_DOUBLE_EQ(computeXAxis(in).xstart, 8e-3);
    in.resampled = XAxisInputs::Resampled{1.0 / 8000.0, 8128};
    XAxis a = computeXAxis(in);
    EXPECT_DOUBLE_EQ(a.xstep, 1.0 / 8000.0);
    EXPECT_EQ(a.npoints, 8128);
    EXPECT_DOUBLE_EQ(a.xstart, 8e-3); // the start phase counts input samples
    in.resampGaussian = false;
    in.resampFlat = true;
    EXPECT_DOUBLE_EQ(computeXAxis(in).xstart, 11e-3);
    in.datatypeindex = 1; // zoom data are never resampled
    a = computeXAxis(in);
    EXPECT_EQ(a.xstart, 0.0);
    EXPECT_DOUBLE_EQ(a.xstep, 1e-3);
    EXPECT_EQ(a.npoints, 1024);
    in.datatypeindex = 0;
    in.modeindex = kModeSpectrum; // other modes ignore it
    EXPECT_EQ(computeXAxis(in).npoints, 512);
}

TEST(XAxis, BadInputsKeepAUsableBlock) {
    XAxisInputs in;
    in.modeindex = kModeHistogram;
    in.nbins = 0;
    XAxis h = computeXAxis(in);
    EXPECT_EQ(h.npoints, 1);
    EXPECT_TRUE(std::isfinite(h.xstep));
    in.nbins = 1e9;
    EXPECT_EQ(computeXAxis(in).npoints, kMaxPoints);
    in.modeindex = kModeSpectrum;
    in.blocklen = 0;
    EXPECT_EQ(computeXAxis(in).npoints, 1);
    EXPECT_TRUE(std::isfinite(computeXAxis(in).xstep));
    in.modeindex = 3;
    EXPECT_THROW(computeXAxis(in), std::out_of_range);
}

TEST(AxisLabels, TimeDomainExampleAndSpectrumWithOtherReferencePositions) {
    DisplayState s; // preset values: references 0, time domain left
    s.xperdiv[0] = 10e-6;
    s.yperdiv[0] = 0.1;
    s.yrefpos[0] = 0;
    const AxisLabels t = axisLabels(s, kModeTime);
    EXPECT_EQ(t[0], "Time Domain");
    EXPECT_EQ(t[1], "X:   Left=   0.000000Sec ,   10.000000uSec/div");
    EXPECT_EQ(t[2], "Y:    Top=   0.000000Volts ,  100.000000mVolts/div");
    s.xrefpos[1] = 2;
    s.xref[1] = 5e6;
    s.yrefpos[1] = 1;
    s.yref[1] = -20.5;
    const AxisLabels l = axisLabels(s, kModeSpectrum);
    EXPECT_EQ(l[1], "X:  Right=   5.000000MHz ,    1.024000MHz/div");
    EXPECT_EQ(l[2], "Y: Center= -20.500000dBm ,   10.000000dBm/div");
    EXPECT_THROW(axisLabels(s, -1), std::out_of_range);
}

TEST(XAuto, ZoomSpectrumExample) {
    DisplayState s;
    s.relabel = true;
    EXPECT_EQ(labelaxes(s, zoomSpectrum5MHz())[0], "Spectrum"); // stores the axis
    EXPECT_FALSE(s.relabel);
    s.xposindex = 0;
    const XAutoResult r = xautoscale(s, kModeSpectrum, 10.0);
    EXPECT_NEAR(r.xref, -5240000.0, 1e-6);
    EXPECT_DOUBLE_EQ(r.xperdiv, 2048000.0);

    s.xposindex = 1; // centre of the span: 5 MHz - 10.24 MHz + 10.24 MHz
    EXPECT_NEAR(xautoscale(s, kModeSpectrum, 10.0).xref, 5000000.0, 1e-6);
    EXPECT_DOUBLE_EQ(xautoscale(s, kModeSpectrum, 8.0).xperdiv, 2560000.0);
    // An unusable grid count falls back to the stored one.
    s.xgrids[1] = 4;
    EXPECT_DOUBLE_EQ(xautoscale(s, kModeSpectrum, 0.0).xperdiv, 20480000.0 / 4);
    s.xgrids[1] = 0;
    EXPECT_DOUBLE_EQ(xautoscale(s, kModeSpectrum, 0.0).xperdiv, 20480000.0 / 10);
}

TEST(XAuto, TimeDomainReferenceIsZeroEvenWhenResampled) {
    DisplayState s;
    XAxisInputs in;
    in.modeindex = kModeTime;
    in.fs = 1000.0;
    in.blocklen = 100;
    in.resampFlat = true;
    labelaxes(s, in);
    ASSERT_DOUBLE_EQ(s.xstart, 11e-3);
    s.xposindex = 0;
    EXPECT_EQ(xautoscale(s, kModeTime, 10.0).xref, 0.0);
    EXPECT_DOUBLE_EQ(xautoscale(s, kModeTime, 10.0).xperdiv, 0.01);
}

// Values that are not numbers are left out of the range; only the first npoints are read and
// never beyond the array. Flat data or no divisions change nothing.
TEST(YAuto, MinusOneToOneWithTenDivisions) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> d = {nan, -1.0f, 0.0f, 0.5f, inf, 1.0f, -0.25f, -inf, 100.0f};
    const auto top = autoscaley(d, 8, 10, 0);
    const auto mid = autoscaley(d, 8, 10, 1);
    const auto bot = autoscaley(std::span<const float>(d.data(), 8), 1000, 10, 2);
    ASSERT_TRUE(top && mid && bot);
    EXPECT_DOUBLE_EQ(top->yperdiv, 0.25);
    EXPECT_DOUBLE_EQ(top->yref, 1.25);
    EXPECT_DOUBLE_EQ(mid->yref, 0.125);
    EXPECT_DOUBLE_EQ(bot->yperdiv, 0.25);
    EXPECT_DOUBLE_EQ(bot->yref, -1.0);
    const std::vector<float> flat(1024, -500.0f); // a spectrum with nothing in it
    EXPECT_FALSE(autoscaley(flat, 1024, 10, 0));
    EXPECT_FALSE(autoscaley(d, 8, 0, 0));
}

TEST(YAuto, StepTable) {
    const struct {
        double raw, step;
    } cases[] = {{0.12, 0.15}, {0.8, 1.0}, {1.49, 1.5}, {1.5, 2.0}, {3.5, 4.0}, {7.5, 10.0}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(autoscaleStep(c.raw), c.step) << c.raw;
        EXPECT_NEAR(autoscaleStep(c.raw * 1e-6), c.step * 1e-6, 1e-20) << c.raw;
    }
    // Exact powers of ten and values next to them.
    for (int p = -12; p <= 12; ++p) {
        const double v = std::pow(10.0, p);
        EXPECT_NEAR(autoscaleStep(v), 1.5 * v, 1.5 * v * 1e-12) << p;
        EXPECT_NEAR(autoscaleStep(std::nextafter(v, 0.0)), v, v * 1e-12) << p;
    }
}

TEST(RefPositions, OnlyTheCurrentModeChanges) {
    DisplayState s;
    s.relabel = false;
    selectYPos(s, kModeSpectrum, 1);
    EXPECT_EQ(s.yposindex, 1);
    EXPECT_EQ(s.yrefpos, (PerModeIndex{1, 1, 2})); // the other modes keep their preset values
    EXPECT_TRUE(s.relabel);
    s.relabel = false;
    selectXPos(s, kModeTime, 9); // limited to 2
    EXPECT_EQ(s.xposindex, 2);
    EXPECT_EQ(s.xrefpos, (PerModeIndex{2, 0, 1}));
    EXPECT_TRUE(s.relabel);
    EXPECT_THROW(selectYPos(s, 3, 0), std::out_of_range);
}

TEST(DisplayStateDefaults, PresetWritesTheDefaultsButKeepsTheMarker) {
    const DisplayState d;
    DisplayState s;
    s.yperdiv = {1, 2, 3};
    s.markstep = {0, 0, 0};
    s.markx = {7, 8, 9};
    presetDisplaySetup(s);
    EXPECT_EQ(s.yperdiv, d.yperdiv);
    EXPECT_EQ(s.markstep, d.markstep);
    EXPECT_EQ(s.markx, (PerMode{7, 8, 9}));
}

} // namespace

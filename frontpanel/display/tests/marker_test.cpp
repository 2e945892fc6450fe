#include "marker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

using namespace zr;

TEST(MarkerPoint, Table) {
    const double nan = std::nan("");
    const struct {
        double markx, xstart, xstep;
        std::int32_t npoints;
        double p;
        std::int32_t index;
        double fx;
    } cases[] = {
        {-5.0, 1.0, 0.5, 10, 0.0, 0, 1.0},  // left of the data: point 0, x = xstart
        {100.0, 1.0, 0.5, 10, 9.0, 9, 5.5}, // right of the data: the last point
        {2.5, 0.0, 1.0, 10, 2.5, 2, 2.5},   // half-way: the even point; the read-out keeps markx
        {3.5, 0.0, 1.0, 10, 3.5, 4, 3.5},
        {9.7, 0.0, 1.0, 10, 9.7, 9, 9.7}, // p just below npoints, but never past the last point
        {1.0, 0.0, 0.0, 10, 9.0, 9, 0.0}, // xstep 0: +inf
        {nan, 0.0, 1.0, 10, 0.0, 0, 0.0},
        {5.0, 0.0, 1.0, 0, 0.0, 0, 0.0}, // no points counts as one
    };
    for (const auto& c : cases) {
        const MarkerPoint m = markerPoint(c.markx, c.xstart, c.xstep, c.npoints);
        EXPECT_DOUBLE_EQ(m.p, c.p) << c.markx;
        EXPECT_EQ(m.index, c.index) << c.markx;
        EXPECT_DOUBLE_EQ(m.fx, c.fx) << c.markx;
    }
}

struct Spectrum {
    DisplayState s;
    std::vector<float> data = std::vector<float>(512, -90.0f);
    MarkerReadoutInputs in;
    Spectrum() {
        s.xstart = 0;
        s.xstep = 10; // 10 Hz lines
        s.npoints = 512;
        s.markx[1] = 1000;
        data[100] = -20.0f;
        in.modeindex = kModeSpectrum;
        in.markmode = 1;
    }
    MarkerReadout read() const { return markerReadout(s, in, data); }
};

TEST(MarkerReadout, NoiseMarker) {
    Spectrum t;
    t.in.markmode = 2;
    t.in.windowindex = 1; // Hann: 10 log10(1.5 * 10) = 11.7609 dB
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=  -31.760913dBm/Hz");
    t.in.windowindex = 0; // Uniform: 10 dB
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=  -30.000000dBm/Hz");
    t.in.windowindex = 9; // an unknown window counts as uniform
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=  -30.000000dBm/Hz");
}

TEST(MarkerReadout, RelativeReferences) {
    Spectrum t;
    t.s.relx[1] = 250;
    t.s.rely[1] = -25;
    t.in.markrelx = true;
    EXPECT_EQ(t.read().text, "Marker: X=  750.000000Hz  Y=  -20.000000dBm");
    EXPECT_DOUBLE_EQ(t.read().linex, 1000 / 1024000.0); // the line stays at the absolute place
    t.in.markrelx = false;
    t.in.markrely = true;
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=    5.000000dB");
    t.in.markmode = 2; // relative first, then the noise normalisation
    t.in.windowindex = 0;
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=   -5.000000dB/Hz");
}

TEST(MarkerReadout, OtherModes) {
    DisplayState s;
    s.xstart = 0;
    s.xstep = 1e-6;
    s.npoints = 10;
    s.markx[0] = 3e-6;
    s.rely[0] = 0.25;
    std::vector<float> d(10, 0.0f);
    d[3] = 0.75f;
    MarkerReadoutInputs in;
    in.modeindex = kModeTime;
    in.markmode = 2; // noise behaves as on outside the spectrum
    in.markrely = true;
    EXPECT_EQ(markerReadout(s, in, d).text, "Marker: X=    3.000000us  Y=  500.000000mV");
    in.modeindex = kModeHistogram;
    s.markx[2] = 3e-6;
    in.markrely = false;
    EXPECT_EQ(markerReadout(s, in, d).text, "Marker: X=    3.000000uV  Y=  750.000000mCounts");
    in.markmode = 0;
    EXPECT_FALSE(markerReadout(s, in, d).shown);
    EXPECT_EQ(markerReadout(s, in, d).text, "");
    in.markmode = 1;
    EXPECT_FALSE(markerReadout(s, in, std::span<const float>()).shown); // no data
    in.modeindex = 5;
    EXPECT_THROW(markerReadout(s, in, d), std::out_of_range);
}

TEST(MarkerControls, Peak) {
    std::vector<float> d = {1, 5, 2, 5, 0};
    EXPECT_DOUBLE_EQ(peakMarkX(d, 5, 100, 10), 110); // the first of two equal maxima
    d = {std::nanf(""), 1, 3, 2};
    EXPECT_DOUBLE_EQ(peakMarkX(d, 4, 0, 1), 2);
    d = {1, 2, 3, 100};
    EXPECT_DOUBLE_EQ(peakMarkX(d, 3, 0, 1), 2);  // only the block is searched
    EXPECT_DOUBLE_EQ(peakMarkX(d, 99, 0, 1), 3); // and never beyond the array
}

TEST(MarkerControls, MouseClickPicksTheNearestPoint) {
    // xstart 0, xstep 2, xperdiv 4: point i at user coordinate i / 2.
    EXPECT_DOUBLE_EQ(mouseMarkX(1.25, 4, 0, 2, 10), 6); // half-way between 2 and 3: the higher
    EXPECT_DOUBLE_EQ(mouseMarkX(-3, 4, 0, 2, 10), 0);   // left of the data
    EXPECT_DOUBLE_EQ(mouseMarkX(100, 4, 0, 2, 10), 18); // right of the data
    EXPECT_DOUBLE_EQ(mouseMarkX(1, 4, 0, 0, 10), 0);    // xstep 0 does not misbehave
}

TEST(MarkerControls, RelativeYTakesTheRawValueAtTheMarker) {
    const std::vector<float> d = {0, 1, 2, 3, 4, 5};
    EXPECT_DOUBLE_EQ(markerRelY(2.5, d, 0, 1, 6), 2);
    EXPECT_DOUBLE_EQ(markerRelY(99, d, 0, 1, 600), 5); // npoints beyond the array
}

} // namespace

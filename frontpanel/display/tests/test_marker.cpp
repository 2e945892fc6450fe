#include "marker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

using namespace zr;

TEST(MarkerPoint, InsideAndOutsideTheData) {
    MarkerPoint m = markerPoint(2.0, 1.0, 0.5, 10); // p = 2
    EXPECT_DOUBLE_EQ(m.p, 2.0);
    EXPECT_EQ(m.index, 2);
    EXPECT_DOUBLE_EQ(m.fx, 2.0);
    m = markerPoint(-5.0, 1.0, 0.5, 10); // left of the data: point 0, x = xstart
    EXPECT_EQ(m.index, 0);
    EXPECT_DOUBLE_EQ(m.fx, 1.0);
    m = markerPoint(100.0, 1.0, 0.5, 10); // right of the data: the last point
    EXPECT_EQ(m.index, 9);
    EXPECT_DOUBLE_EQ(m.fx, 5.5);
}

TEST(MarkerPoint, HalfWayGoesToTheEvenPoint) {
    EXPECT_EQ(markerPoint(2.5, 0.0, 1.0, 10).index, 2);
    EXPECT_EQ(markerPoint(3.5, 0.0, 1.0, 10).index, 4);
    EXPECT_EQ(markerPoint(3.49, 0.0, 1.0, 10).index, 3);
    EXPECT_EQ(markerPoint(2.51, 0.0, 1.0, 10).index, 3);
    EXPECT_DOUBLE_EQ(markerPoint(2.5, 0.0, 1.0, 10).fx, 2.5); // the read-out keeps markx
}

TEST(MarkerPoint, NeverPastTheLastPoint) {
    // p just below npoints stays there, but the point read is the last one.
    const MarkerPoint m = markerPoint(9.7, 0.0, 1.0, 10);
    EXPECT_DOUBLE_EQ(m.p, 9.7);
    EXPECT_EQ(m.index, 9);
    EXPECT_EQ(markerPoint(1.0, 0.0, 0.0, 10).index, 9); // xstep 0: +inf
    EXPECT_EQ(markerPoint(0.0, 0.0, 0.0, 10).index, 0); // 0/0
    EXPECT_EQ(markerPoint(std::nan(""), 0.0, 1.0, 10).index, 0);
    EXPECT_EQ(markerPoint(5.0, 0.0, 1.0, 0).index, 0); // no points counts as one
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

TEST(MarkerReadout, ExampleLine) {
    DisplayState s;
    s.xstart = 0;
    s.xstep = 10000;
    s.npoints = 512;
    s.markx[1] = 1.25e6;
    std::vector<float> d(512, 0.0f);
    d[125] = -20.5f;
    MarkerReadoutInputs in;
    in.modeindex = kModeSpectrum;
    in.markmode = 1;
    const MarkerReadout r = markerReadout(s, in, d);
    EXPECT_TRUE(r.shown);
    EXPECT_EQ(r.text, "Marker: X=    1.250000MHz  Y=  -20.500000dBm");
    EXPECT_DOUBLE_EQ(r.linex, 1.25e6 / 1024000.0);
}

TEST(MarkerReadout, NoiseMarker) {
    Spectrum t;
    t.in.markmode = 2;
    t.in.windowindex = 1; // Hann: 10 log10(1.5 * 10) = 11.7609 dB
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=  -31.760913dBm/Hz");
    t.in.windowindex = 0; // Uniform: 10 dB
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=  -30.000000dBm/Hz");
    t.in.windowindex = 3;
    EXPECT_EQ(t.read().text, "Marker: X=    1.000000KHz  Y=  -35.823030dBm/Hz");
    EXPECT_DOUBLE_EQ(noiseBandwidthFactor(2), 2.215349684);
    EXPECT_DOUBLE_EQ(noiseBandwidthFactor(9), 1.0);
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
    d[0] = 9;
    EXPECT_DOUBLE_EQ(peakMarkX(d, 5, 100, 10), 100); // point 0 is the maximum
    d = {std::nanf(""), 1, 3, 2};
    EXPECT_DOUBLE_EQ(peakMarkX(d, 4, 0, 1), 2);
    d = {1, 2, 3, 100};
    EXPECT_DOUBLE_EQ(peakMarkX(d, 3, 0, 1), 2);  // only the block is searched
    EXPECT_DOUBLE_EQ(peakMarkX(d, 99, 0, 1), 3); // and never beyond the array
}

TEST(MarkerControls, MouseClickPicksTheNearestPoint) {
    // xstart 0, xstep 2, xperdiv 4: point i at user coordinate i / 2.
    EXPECT_DOUBLE_EQ(mouseMarkX(1.0, 4, 0, 2, 10), 4);  // exactly point 2
    EXPECT_DOUBLE_EQ(mouseMarkX(1.25, 4, 0, 2, 10), 6); // half-way between 2 and 3: the higher
    EXPECT_DOUBLE_EQ(mouseMarkX(1.2, 4, 0, 2, 10), 4);
    EXPECT_DOUBLE_EQ(mouseMarkX(-3, 4, 0, 2, 10), 0);   // left of the data
    EXPECT_DOUBLE_EQ(mouseMarkX(100, 4, 0, 2, 10), 18); // right of the data
    EXPECT_DOUBLE_EQ(mouseMarkX(1, 4, 0, 0, 10), 0);    // xstep 0 does not misbehave
}

TEST(MarkerControls, RelativeYTakesTheRawValueAtTheMarker) {
    const std::vector<float> d = {0, 1, 2, 3, 4, 5};
    EXPECT_DOUBLE_EQ(markerRelY(2.5, d, 0, 1, 6), 2);
    EXPECT_DOUBLE_EQ(markerRelY(3.5, d, 0, 1, 6), 4);
    EXPECT_DOUBLE_EQ(markerRelY(-9, d, 0, 1, 6), 0);
    EXPECT_DOUBLE_EQ(markerRelY(99, d, 0, 1, 6), 5);
    EXPECT_DOUBLE_EQ(markerRelY(99, d, 0, 1, 600), 5); // npoints beyond the array
}

} // namespace

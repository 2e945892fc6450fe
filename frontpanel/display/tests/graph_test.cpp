#include "graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

using namespace zr;

constexpr int W = 417;
constexpr int H = 345;
const QRgb kBack = qRgb(255, 255, 255);
const QRgb kTrace = qRgb(0, 0, 0);
const QRgb kGrid = qRgb(128, 128, 128);
const QRgb kMark = qRgb(128, 0, 0);

int countColour(const QImage& img, QRgb c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == c;
    return n;
}

// Time-domain setup: 10 x 10 divisions, 1 V/div, 0 V in the centre, 5 us/div from the left.
struct Fixture {
    DisplayState s;
    std::vector<float> data;
    GraphInputs in;
    QImage img{W, H, QImage::Format_RGB32};

    Fixture() {
        s.relabel = false;
        s.markmode = 0;
        s.xstart = 0.0;
        s.xstep = 1e-6;
        s.npoints = 100;
        data.assign(kMaxPoints, 0.0f);
        in.modeindex = kModeTime;
        in.dispdata = data;
    }
    GraphTexts draw() { return drawgraph(s, in, img); }
    // The points `v`, one division (5 us) apart.
    void trace(const std::vector<float>& v) {
        std::copy(v.begin(), v.end(), data.begin());
        s.npoints = static_cast<std::int32_t>(v.size());
        s.xstep = 5e-6;
    }
    int row(double v) const {
        return static_cast<int>(
            std::floor(userToPixel(graphFrame(s, in.modeindex), 0, v, W, H).row));
    }
    int col(double h) const {
        return static_cast<int>(
            std::floor(userToPixel(graphFrame(s, in.modeindex), h, 0, W, H).col));
    }
};

TEST(GraphFrame, MappingOfCornersAndReferencePositions) {
    DisplayState s;
    GraphFrame f = graphFrame(s, kModeHistogram); // 0 V at the horizontal centre, 0 at the bottom
    EXPECT_DOUBLE_EQ(f.L, -5.0);
    EXPECT_DOUBLE_EQ(f.T, 1.0);
    EXPECT_DOUBLE_EQ(f.width(), 10.02);
    EXPECT_THROW(graphFrame(s, 3), std::out_of_range);
    for (int pos = 0; pos < 3; ++pos) {
        s.yrefpos[0] = static_cast<std::int16_t>(pos);
        s.yref[0] = 2.0;
        s.xrefpos[0] = static_cast<std::int16_t>(pos);
        s.xref[0] = 10e-6;
        f = graphFrame(s, kModeTime);
        const PixelPos p = userToPixel(f, s.xref[0] / s.xperdiv[0], s.yref[0], W, H);
        // Reference value on the top / middle / bottom grid line; left / centre / right.
        EXPECT_NEAR(p.row, pos * 5.0 / 10.02 * H, 1e-9) << pos;
        EXPECT_NEAR(p.col, pos * 5.0 / 10.02 * W, 1e-9) << pos;
    }
    EXPECT_NEAR(userToPixel(f, pixelToUserX(f, 100, W), 0, W, H).col, 100, 1e-9);
}

TEST(Drawgraph, GridLinesLandOnTheirPixels) {
    Fixture t;
    t.trace({1e30f}); // keep the trace off the picture
    t.draw();
    // 11 vertical lines at columns k / 10.02 * W, the last at 416 of 0..416; 11 horizontal
    // lines at rows k / 10.02 * H, the last at 344 of 0..344.
    std::set<int> cols, rows, wantCols, wantRows;
    for (int x = 0; x < W; ++x)
        if (t.img.pixel(x, t.row(4.5)) == kGrid) // between the first two horizontal lines
            cols.insert(x);
    for (int y = 0; y < H; ++y)
        if (t.img.pixel(t.col(2.5), y) == kGrid)
            rows.insert(y);
    for (int k = 0; k <= 10; ++k) {
        wantCols.insert(t.col(k));
        wantRows.insert(t.row(5.0 - k));
    }
    EXPECT_EQ(cols, wantCols);
    EXPECT_EQ(rows, wantRows);
    EXPECT_EQ(*rows.rbegin(), 344);
    // Everything else is background or grid.
    EXPECT_EQ(countColour(t.img, kBack) + countColour(t.img, kGrid), W * H);
}

TEST(Drawgraph, TraceJoinsEveryPointToTheNextAndOnePointIsOnePixel) {
    Fixture t;
    const std::vector<float> v = {4.0f, -4.0f, 0.0f, 1.0f, 1.0f};
    t.trace(v);
    t.draw();
    for (int g = 0; g < 5; ++g) // at each point's column the trace passes its row
        EXPECT_EQ(t.img.pixel(t.col(g), t.row(v[static_cast<std::size_t>(g)])), kTrace) << g;
    t.trace({-1.0f});
    t.s.xstart = 10e-6; // 2 divisions
    t.draw();
    EXPECT_EQ(countColour(t.img, kTrace), 1);
    EXPECT_EQ(t.img.pixel(t.col(2), t.row(-1.0)), kTrace);
}

TEST(Drawgraph, ReadsOnlyTheBlock) {
    Fixture t;
    std::vector<float> shortBlock(10, 1.0f);
    t.in.dispdata = shortBlock;
    t.s.npoints = 1000; // larger than the block handed in: only 10 points are read
    t.s.xstep = 5e-6;
    t.draw();
    EXPECT_EQ(t.img.pixel(t.col(9), t.row(1.0)), kTrace);
    // Right of the last point only the grid line of 1 V remains on that row.
    EXPECT_EQ(t.img.pixel(t.col(9) + 2, t.row(1.0)), kGrid);
}

TEST(Drawgraph, OverflowingDataSkipOnlyTheFailingSegments) {
    Fixture t;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    t.trace({1, 1, 1, nan, 1, 1, inf, 1, 1, 1});
    const GraphTexts out = t.draw();
    // Segments 2->3, 3->4, 5->6, 6->7 touch a non-number.
    EXPECT_EQ(out.skippedSegments, 4);
    const int r = t.row(1.0);
    for (const auto& [from, to] : {std::pair{0, 2}, {4, 5}, {7, 9}})
        for (int x = t.col(from); x <= t.col(to); ++x)
            EXPECT_EQ(t.img.pixel(x, r), kTrace) << x;
    EXPECT_NE(t.img.pixel((t.col(2) + t.col(4)) / 2, r), kTrace);
}

TEST(Drawgraph, HugeValuesAndUnusableScalesNeverCrash) {
    Fixture t;
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-3e38f, 3e38f);
    for (std::size_t i = 0; i < 4096; ++i)
        t.data[i] = (i % 7 == 0) ? std::numeric_limits<float>::max() : u(rng);
    t.data[101] = -std::numeric_limits<float>::infinity();
    t.s.npoints = 4096;
    t.s.yref[0] = 1e300;
    t.s.xperdiv[0] = 1e-10;
    for (double yperdiv : {1e-20, -1.0, 1e300}) {
        t.s.yperdiv[0] = yperdiv;
        EXPECT_NO_THROW(t.draw()) << yperdiv;
    }
    // Segments whose pixel coordinates stay finite are drawn: the values cross
    // the picture as near-vertical lines.
    t.s.yref[0] = 0;
    t.s.yperdiv[0] = 1e-20;
    t.s.xperdiv[0] = 5e-6;
    t.trace({1e30f, -1e30f, 1e30f});
    EXPECT_EQ(t.draw().skippedSegments, 0);
    EXPECT_EQ(t.img.pixel(t.col(0.5), H / 2), kTrace);
    t.s.xperdiv[0] = std::numeric_limits<double>::quiet_NaN(); // no trace
    EXPECT_EQ(t.draw().skippedSegments, 3);
    t.s.xperdiv[0] = 5e-6;
    t.s.xgrids[0] = 1e9; // no upper limit on X-Grids: the grid is thinned, not hung
    EXPECT_NO_THROW(t.draw());
}

TEST(Drawgraph, AllMinusFiveHundredSpectrum) {
    Fixture t;
    t.in.modeindex = kModeSpectrum;
    t.s.xstep = 20000;
    t.s.npoints = 512;
    std::fill(t.data.begin(), t.data.begin() + 512, -500.0f);
    // Preset spectrum scale: 0 dBm top, 10 dB/div: -500 lies far below, cut off.
    EXPECT_EQ(t.draw().skippedSegments, 0);
    EXPECT_EQ(countColour(t.img, kTrace), 0);
    t.s.yperdiv[1] = 100; // 100 dB/div: -500 dBm is the middle grid line
    EXPECT_EQ(t.draw().skippedSegments, 0);
    const int r = t.row(-500.0);
    EXPECT_EQ(r, static_cast<int>(std::floor(500.0 / 1002.0 * H)));
    // 512 points x 20 kHz = 10.24 MHz = 10 divisions at the preset 1.024 MHz/div.
    for (int x = 0; x <= t.col(511 * 20000.0 / 1024000.0); ++x)
        ASSERT_EQ(t.img.pixel(x, r), kTrace) << x;
}

TEST(Drawgraph, RelabelRunsLabelaxesFirst) {
    Fixture t;
    t.s.relabel = true;
    t.in.axis.fs = 1e6;
    t.in.axis.blocklen = 50;
    t.in.axis.modeindex = kModeSpectrum; // overridden by in.modeindex
    const GraphTexts out = t.draw();
    ASSERT_TRUE(out.axes);
    EXPECT_EQ((*out.axes)[0], "Time Domain");
    EXPECT_FALSE(t.s.relabel);
    EXPECT_EQ(t.s.npoints, 50);
    EXPECT_FALSE(t.draw().axes);
}

TEST(Drawgraph, MarkerLineAndReadout) {
    Fixture t;
    t.in.modeindex = kModeSpectrum;
    t.s.xstep = 10000;
    t.s.npoints = 512;
    t.data[125] = -20.5f;
    t.s.markx[1] = 1.25e6;
    t.s.markmode = 1;
    EXPECT_EQ(t.draw().marker, "Marker: X=    1.250000MHz  Y=  -20.500000dBm");
    // Dotted dark red line at 1.25 MHz / 1.024 MHz per division, from top to bottom grid line.
    const int c = t.col(1.25e6 / 1024000.0);
    int red = 0;
    for (int y = 0; y < H; ++y)
        red += t.img.pixel(c, y) == kMark && (y / 2) % 2 == 0; // two on, two off
    EXPECT_GE(red, 340 / 2 - 2);
    EXPECT_EQ(countColour(t.img, kMark), red); // nowhere else
    t.s.markmode = 0;
    EXPECT_EQ(t.draw().marker, "");
    EXPECT_EQ(countColour(t.img, kMark), 0);
}

TEST(Drawgraph, BadModeChangesNothing) {
    Fixture t;
    t.img.fill(qRgb(1, 2, 3));
    t.s.relabel = true;
    t.in.modeindex = 3;
    EXPECT_THROW(t.draw(), std::out_of_range);
    EXPECT_TRUE(t.s.relabel);
    EXPECT_EQ(t.img.pixel(5, 5), qRgb(1, 2, 3));
}

TEST(Drawgraph, NullPictureGivesTheTextsAndTheAveragesLineOnlyWhenAveraging) {
    Fixture t;
    QImage none;
    t.s.markmode = 1;
    t.in.avgmode = 1;
    t.in.avgcount = 3;
    const GraphTexts out = drawgraph(t.s, t.in, none);
    EXPECT_EQ(out.averages, "Averages =  3");
    EXPECT_FALSE(out.marker.empty());
    t.in.avgmode = 0;
    EXPECT_EQ(drawgraph(t.s, t.in, none).averages, "");
}

TEST(Drawgraph, HorizontalTraceInTheGivenColours) {
    Fixture t;
    t.in.colours.background = qRgb(10, 20, 30);
    t.in.colours.foreground = qRgb(200, 200, 0);
    std::fill(t.data.begin(), t.data.begin() + 100, 2.0f); // 2 V: 3 divisions below the top
    t.draw();
    EXPECT_EQ(t.img.pixel(211, H - 2), qRgb(10, 20, 30));
    // 100 points at 1 us, 5 us/div: 19.8 divisions, cut off at the right edge.
    for (int x = 0; x < W; ++x)
        ASSERT_EQ(t.img.pixel(x, t.row(2.0)), qRgb(200, 200, 0)) << x;
}

// A 501 x 501 picture, 50 pixels per division both ways, 0 V on row 250, 1 V per division:
// the reference at 1.125 s lies on column 225, at 2.5 V on row 125.
TEST(Drawgraph, RelativeReferenceIsDrawnDashedInItsOwnColourOnlyWhenOn) {
    struct Row {
        std::int16_t markmode;
        bool relx, rely;
    };
    const std::vector<float> data(8, 0.0f);
    for (const Row r : {Row{1, false, false}, Row{1, true, false}, Row{1, false, true},
                        Row{1, true, true}, Row{0, true, true}}) {
        DisplayState s;
        s.relabel = false;
        s.xstep = 0.25;
        s.npoints = 8;
        s.xperdiv[0] = 0.25;
        s.yrefpos[0] = 1;
        s.markx[0] = 0.5;
        s.relx[0] = 1.125;
        s.rely[0] = 2.5;
        s.markmode = r.markmode;
        GraphInputs in;
        in.dispdata = data;
        in.markrelx = r.relx;
        in.markrely = r.rely;
        QImage picture(501, 501, QImage::Format_RGB32);
        drawgraph(s, in, picture);
        const QRgb ref = in.colours.reference;
        int inColumn = 0, inRow = 0, total = 0;
        for (int y = 0; y < 501; ++y)
            for (int x = 0; x < 501; ++x)
                if (picture.pixel(x, y) == ref) {
                    ++total;
                    inColumn += x == 225;
                    inRow += y == 125;
                }
        SCOPED_TRACE(testing::Message() << r.markmode << r.relx << r.rely);
        const bool shown = r.markmode != 0;
        EXPECT_EQ(inColumn > 300, shown && r.relx); // dashed: five of every eight pixels
        EXPECT_EQ(inRow > 300, shown && r.rely);
        EXPECT_LT(std::max(inColumn, inRow), 400);
        EXPECT_EQ(total == 0, !shown || (!r.relx && !r.rely));
        EXPECT_EQ(picture.pixel(220, 123) == ref, shown && r.relx && r.rely); // diamond edge
        EXPECT_EQ(picture.pixel(100, 0) == kMark, shown);                     // marker line on top
    }
}

TEST(Caption, NonEmptyLinesEachEndedByACarriageReturn) {
    const std::string lines[5] = {"Spectrum", "", "Y: 10dBm/div", "Marker: X= 1MHz", ""};
    EXPECT_EQ(captionText(lines), "Spectrum\rY: 10dBm/div\rMarker: X= 1MHz\r");
    EXPECT_EQ(captionText({}), "");
}

} // namespace

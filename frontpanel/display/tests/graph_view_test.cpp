// Mouse zoom and pan arithmetic, and the relative reference drawn into the graph.
#include "graph.h"
#include "view_zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// 10 divisions over 501 pixels: 50 pixels per division. X-Ref 0.5 at the centre, 0.25 per
// division, so the left edge is at -3 divisions.
zr::GraphFrame centredFrame() {
    zr::DisplayState s;
    s.xref[0] = 0.5;
    s.xperdiv[0] = 0.25;
    s.xrefpos[0] = 1;
    return zr::graphFrame(s, 0);
}

TEST(GraphView, WheelZoomKeepsTheXUnderTheCursorAndDragMovesXRef) {
    const zr::GraphFrame f = centredFrame();
    const double x = zr::xAtColumn(f, 100.0, 501); // -3 + 2 divisions
    EXPECT_DOUBLE_EQ(x, -0.25);
    const zr::XScale in = zr::zoomXAbout({0.5, 0.25}, x, 1.0);
    EXPECT_DOUBLE_EQ(in.xperdiv, 0.125);
    EXPECT_DOUBLE_EQ(in.xref, 0.125); // -0.25 + 0.75 / 2
    const zr::XScale out = zr::zoomXAbout({0.5, 0.25}, x, -1.0);
    EXPECT_DOUBLE_EQ(out.xperdiv, 0.5);
    EXPECT_DOUBLE_EQ(out.xref, 1.25); // -0.25 + 0.75 * 2
    // The zoomed frame still has -0.25 at column 100.
    zr::DisplayState z;
    z.xref[0] = in.xref;
    z.xperdiv[0] = in.xperdiv;
    z.xrefpos[0] = 1;
    EXPECT_DOUBLE_EQ(zr::xAtColumn(zr::graphFrame(z, 0), 100.0, 501), -0.25);
    // 50 columns to the right: one division, 0.25, the trace follows the mouse.
    EXPECT_DOUBLE_EQ(zr::panXRef(f, 0.5, 50.0, 501), 0.25);
    EXPECT_DOUBLE_EQ(zr::panXRef(f, 0.5, -100.0, 501), 1.0);
}

// A 501 x 501 picture, 50 pixels per division both ways; y 0 in the middle row 250, 1 V per
// division. The reference at 1.125 s (column 225) and 2.5 V (row 125).
TEST(GraphView, RelativeReferenceIsDrawnDashedInItsOwnColourOnlyWhenOn) {
    constexpr QRgb kRef = qRgb(0, 0, 255);
    struct Row {
        std::int16_t markmode;
        bool relx, rely;
        bool column, row, diamond;
    };
    const Row rows[] = {
        {1, false, false, false, false, false}, {1, true, false, true, false, false},
        {1, false, true, false, true, false},   {1, true, true, true, true, true},
        {0, true, true, false, false, false}, // no marker, no reference
    };
    const std::vector<float> data(8, 0.0f);
    for (const Row& r : rows) {
        zr::DisplayState s;
        s.relabel = false;
        s.xstart = 0.0;
        s.xstep = 0.25;
        s.npoints = 8;
        s.xperdiv[0] = 0.25;
        s.xrefpos[0] = 0;
        s.yperdiv[0] = 1.0;
        s.yrefpos[0] = 1;
        s.markx[0] = 0.5;
        s.relx[0] = 1.125;
        s.rely[0] = 2.5;
        s.markmode = r.markmode;
        zr::GraphInputs in;
        in.dispdata = data;
        in.markrelx = r.relx;
        in.markrely = r.rely;
        QImage picture(501, 501, QImage::Format_RGB32);
        zr::drawgraph(s, in, picture);
        int inColumn = 0, inRow = 0, total = 0;
        for (int y = 0; y < 501; ++y)
            for (int x = 0; x < 501; ++x)
                if (picture.pixel(x, y) == kRef) {
                    ++total;
                    inColumn += x == 225;
                    inRow += y == 125;
                }
        SCOPED_TRACE(testing::Message() << r.markmode << r.relx << r.rely);
        // Dashed: five of every eight pixels along the line.
        EXPECT_EQ(inColumn > 300, r.column);
        EXPECT_EQ(inRow > 300, r.row);
        EXPECT_LT(std::max(inColumn, inRow), 400);             // dashed, not solid
        EXPECT_EQ(picture.pixel(220, 123) == kRef, r.diamond); // on the diamond's upper left edge
        if (!r.column && !r.row) {
            EXPECT_EQ(total, 0);
        }
        if (r.markmode != 0) {
            EXPECT_EQ(picture.pixel(100, 0), qRgb(128, 0, 0)); // the marker line stays on top
        }
    }
}

} // namespace

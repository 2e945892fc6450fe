// Mouse zoom and pan arithmetic, and the relative reference drawn into the graph.
#include "graph.h"
#include "view_zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(GraphView, WheelZoomKeepsTheXUnderTheCursorAndDragMovesXRef) {
    // 10 divisions over 501 pixels (50 per division); X-Ref 0.5 at the centre, 0.25 per
    // division: the left edge is at -3 divisions, column 100 at -1 division.
    zr::DisplayState s;
    s.xref[0] = 0.5;
    s.xperdiv[0] = 0.25;
    s.xrefpos[0] = 1;
    const zr::GraphFrame f = zr::graphFrame(s, 0);
    const double x = zr::xAtColumn(f, 100.0, 501);
    EXPECT_DOUBLE_EQ(x, -0.25);
    const zr::XScale in = zr::zoomXAbout({0.5, 0.25}, x, 1.0);
    EXPECT_DOUBLE_EQ(in.xperdiv, 0.125);
    EXPECT_DOUBLE_EQ(in.xref, 0.125); // -0.25 + 0.75 / 2
    const zr::XScale out = zr::zoomXAbout({0.5, 0.25}, x, -1.0);
    EXPECT_DOUBLE_EQ(out.xperdiv, 0.5);
    EXPECT_DOUBLE_EQ(out.xref, 1.25);                       // -0.25 + 0.75 * 2
    EXPECT_DOUBLE_EQ(zr::panXRef(f, 0.5, 50.0, 501), 0.25); // the trace follows the mouse
}

// A 501 x 501 picture, 50 pixels per division both ways, 0 V on row 250, 1 V per division:
// the reference at 1.125 s lies on column 225, at 2.5 V on row 125.
TEST(GraphView, RelativeReferenceIsDrawnDashedInItsOwnColourOnlyWhenOn) {
    struct Row {
        std::int16_t markmode;
        bool relx, rely;
    };
    const std::vector<float> data(8, 0.0f);
    for (const Row r : {Row{1, false, false}, Row{1, true, false}, Row{1, false, true},
                        Row{1, true, true}, Row{0, true, true}}) {
        zr::DisplayState s;
        s.relabel = false;
        s.xstep = 0.25;
        s.npoints = 8;
        s.xperdiv[0] = 0.25;
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
        EXPECT_EQ(picture.pixel(100, 0) == qRgb(128, 0, 0), shown);           // marker line on top
    }
}

} // namespace

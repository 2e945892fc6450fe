#include "raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using zr::LineRasterizer;
using Pixels = std::set<std::pair<int, int>>; // (column, row)

constexpr QRgb kWhite = 0xffffff;
constexpr QRgb kInk = 0x102030;

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(255, 255, 255));
    return img;
}

Pixels inked(const QImage& img) {
    Pixels p;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xffffff) != kWhite)
                p.insert({x, y});
    return p;
}

// Pixels of one segment on a blank picture.
Pixels draw(int w, int h, double x0, double y0, double x1, double y1) {
    QImage img = blank(w, h);
    LineRasterizer r(img);
    EXPECT_TRUE(r.line(x0, y0, x1, y1, kInk));
    return inked(img);
}

// Pixels of one segment between pixel centres (integer endpoints).
Pixels drawCentres(int w, int h, int x0, int y0, int x1, int y1) {
    return draw(w, h, x0 + 0.5, y0 + 0.5, x1 + 0.5, y1 + 0.5);
}

// Distance of point (px, py) from the segment (ax, ay)-(bx, by).
double distance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Independent reference: one pixel per step of the major axis, both ends
// included, each within half a pixel of the ideal line on the minor axis (with no
// ties, that is the one Bresenham line).
TEST(Raster, EveryOctantMatchesTheIdealLine) {
    EXPECT_EQ(drawCentres(10, 10, 4, 4, 4, 4), (Pixels{{4, 4}})); // zero length: one pixel
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> cx(0, 39), cy(0, 29);
    for (int trial = 0; trial < 2000; ++trial) {
        const int x0 = cx(rng), y0 = cy(rng), x1 = cx(rng), y1 = cy(rng);
        const Pixels p = drawCentres(40, 30, x0, y0, x1, y1);
        const int dx = x1 - x0, dy = y1 - y0;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const int steps = std::max(std::abs(dx), std::abs(dy));
        ASSERT_EQ(p.size(), static_cast<std::size_t>(steps + 1))
            << x0 << "," << y0 << " " << x1 << "," << y1;
        ASSERT_TRUE(p.count({x0, y0}) && p.count({x1, y1}));
        // Along the major axis a, across it b.
        const int a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
        const int da = xMajor ? dx : dy, db = xMajor ? dy : dx;
        std::set<int> majors;
        for (auto [x, y] : p) {
            const int a = xMajor ? x : y, b = xMajor ? y : x;
            majors.insert(a);
            const double ideal = steps == 0 ? b0 : b0 + double(db) * (a - a0) / da;
            ASSERT_LE(std::fabs(b - ideal), 0.5 + 1e-12);
        }
        ASSERT_EQ(majors.size(), static_cast<std::size_t>(steps + 1));
    }
}

// Segments crossing the border or lying far outside: every inked pixel is
// close to the true segment, the visible part is covered without gaps, and
// nothing is written outside the image (checked by the sanitizer build).
TEST(Raster, ClippingAgainstBruteForce) {
    const int w = 37, h = 23;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> far(-80.0, 120.0);
    std::uniform_real_distribution<double> huge(-1e7, 1e7);
    for (int trial = 0; trial < 3000; ++trial) {
        const bool big = trial % 3 == 0;
        const double x0 = big ? huge(rng) : far(rng), y0 = big ? huge(rng) : far(rng);
        const double x1 = far(rng), y1 = far(rng);
        QImage img = blank(w, h);
        LineRasterizer r(img);
        ASSERT_TRUE(r.line(x0, y0, x1, y1, kInk));
        const Pixels p = inked(img);
        for (auto [x, y] : p)
            ASSERT_LE(distance(x + 0.5, y + 0.5, x0, y0, x1, y1), 1.25)
                << x0 << "," << y0 << " " << x1 << "," << y1 << " at " << x << "," << y;
        // Brute force: every pixel whose centre lies within 0.3 of the true
        // segment must have an inked pixel next to it (the rasterised line may
        // pass one pixel over on the minor axis).
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (distance(x + 0.5, y + 0.5, x0, y0, x1, y1) > 0.3)
                    continue;
                bool near = false;
                for (int oy = -1; oy <= 1 && !near; ++oy)
                    for (int ox = -1; ox <= 1 && !near; ++ox)
                        near = p.count({x + ox, y + oy}) > 0;
                ASSERT_TRUE(near) << x0 << "," << y0 << " " << x1 << "," << y1 << " missing " << x
                                  << "," << y;
            }
    }
}

TEST(Raster, FarOutsideEndpoints) {
    Pixels column;
    for (int y = 0; y < 40; ++y)
        column.insert({7, y});
    EXPECT_EQ(draw(50, 40, 7.5, 1e300, 7.5, -1e300), column);
    EXPECT_TRUE(draw(50, 40, 1e15, 1e15, 2e15, 3e15).empty());
}

TEST(Raster, NonFiniteAndOverflowingSegmentsAreSkipped) {
    QImage img = blank(20, 20);
    LineRasterizer r(img);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double max = std::numeric_limits<double>::max();
    EXPECT_FALSE(r.line(nan, 1, 5, 5, kInk));
    EXPECT_FALSE(r.line(-inf, 5, inf, 5, kInk));
    EXPECT_FALSE(r.line(-max, 5, max, 5, kInk)); // the extent overflows
    EXPECT_TRUE(inked(img).empty());
    EXPECT_TRUE(r.line(0.5, 0.5, 3.5, 0.5, kInk)); // the rasteriser still works afterwards
    EXPECT_EQ(inked(img).size(), 4u);
}

TEST(Raster, DottedLinePattern) {
    QImage img = blank(12, 12);
    LineRasterizer r(img);
    r.setDotted(true);
    ASSERT_TRUE(r.line(3.5, -100, 3.5, 100, kInk));
    Pixels want;
    for (int y = 0; y < 12; ++y)
        if ((y / 2) % 2 == 0)
            want.insert({3, y});
    EXPECT_EQ(inked(img), want);
    r.setDotted(false);
    ASSERT_TRUE(r.line(5.5, 0.5, 5.5, 11.5, kInk));
    EXPECT_EQ(inked(img).size(), want.size() + 12);
}

TEST(Raster, ColourAndFormats) {
    QImage img = blank(8, 8);
    LineRasterizer r(img);
    r.fill(qRgb(1, 2, 3));
    r.line(0, 0.5, 8, 0.5, qRgb(128, 0, 0));
    EXPECT_EQ(img.pixel(7, 0), qRgb(128, 0, 0));
    EXPECT_EQ(img.pixel(3, 3), qRgb(1, 2, 3));

    QImage rgb888(6, 6, QImage::Format_RGB888);
    rgb888.fill(Qt::white);
    LineRasterizer r2(rgb888);
    EXPECT_EQ(rgb888.format(), QImage::Format_RGB32);
    r2.line(0.5, 0.5, 5.5, 5.5, qRgb(0, 0, 0));
    EXPECT_EQ(inked(rgb888).size(), 6u);

    QImage null;
    LineRasterizer r3(null);
    EXPECT_TRUE(r3.line(0, 0, 10, 10, kInk));
    EXPECT_FALSE(r3.line(nan(""), 0, 10, 10, kInk));
}

TEST(Raster, ClipSegmentKeepsTheVisiblePart) {
    double x0 = -10, y0 = -10, x1 = 30, y1 = 30;
    ASSERT_TRUE(zr::clipSegment(x0, y0, x1, y1, 0, 0, 20, 10));
    EXPECT_EQ((std::vector<double>{x0, y0, x1, y1}), (std::vector<double>{0, 0, 10, 10}));
    x0 = 25, y0 = 5, x1 = 30, y1 = 5;
    EXPECT_FALSE(zr::clipSegment(x0, y0, x1, y1, 0, 0, 20, 10));
}

// A trace drawn through TracePen and the same trace drawn one line() per segment: the pixels and
// the count of skipped segments must agree.
void expectPenMatchesSegments(int w, int h, const std::vector<std::pair<double, double>>& pts) {
    QImage a = blank(w, h);
    QImage b = blank(w, h);
    LineRasterizer ra(a);
    LineRasterizer rb(b);
    zr::TracePen pen(ra, kInk);
    pen.start(pts[0].first, pts[0].second);
    std::int64_t skipped = 0;
    std::pair<double, double> at = pts[0];
    for (const auto& p : pts) {
        pen.to(p.first, p.second);
        if (!rb.line(at.first, at.second, p.first, p.second, kInk))
            ++skipped;
        at = p;
    }
    pen.finish();
    EXPECT_EQ(pen.skipped(), skipped);
    EXPECT_EQ(inked(a), inked(b));
}

TEST(Raster, TracePenDrawsEverySegmentsPixels) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double inf = std::numeric_limits<double>::infinity();
    for (int trial = 0; trial < 300; ++trial) {
        const int w = 1 + static_cast<int>(unit(gen) * 40);
        const int h = 1 + static_cast<int>(unit(gen) * 40);
        const int n = 1 + static_cast<int>(unit(gen) * 400);
        const double spread = trial % 3 == 0 ? 0.2 : trial % 3 == 1 ? 1.0 : 3.0; // rows beyond
        std::vector<std::pair<double, double>> pts;
        double x = -2.0 + unit(gen) * 2.0;
        const double dx = (w + 4.0) / n * (trial % 5 == 0 ? -1.0 : 1.0);
        for (int i = 0; i < n; ++i, x += dx) {
            double y = (unit(gen) - 0.5) * spread * h + h / 2.0;
            const double kind = unit(gen);
            if (kind < 0.02)
                y = std::nan("");
            else if (kind < 0.03)
                y = kind < 0.025 ? inf : -1e305;
            else if (kind < 0.06)
                y = std::round(y) - (kind < 0.045 ? 0.5 : 0.0);           // row and edge boundaries
            double xi = trial % 7 == 0 ? unit(gen) * (w + 4.0) - 2.0 : x; // back and forth
            if (unit(gen) < 0.05)
                xi = std::round(x) - 1e-12; // a hair left of a column boundary
            pts.push_back({xi, y});
        }
        expectPenMatchesSegments(w, h, pts);
    }
    // Edges of the image exactly, a single point, a column entirely above or below.
    expectPenMatchesSegments(8, 6, {{3.5, 2.5}});
    expectPenMatchesSegments(8, 6, {{0.0, 0.0}, {0.0, 6.0}, {8.0, 3.0}, {7.9999999, 5.9999999}});
    expectPenMatchesSegments(8, 6, {{2.2, -5}, {2.4, -1}, {2.6, -9}, {3.1, 2}, {3.3, 9}, {3.4, 7}});
}

} // namespace

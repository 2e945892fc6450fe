// Clipped line drawing straight into the pixels of a 32-bit QImage.
//
// Coordinates are continuous pixel coordinates: pixel (i, j) covers
// [i, i+1) x [j, j+1), so a point at column c, row r lands in pixel
// (floor(c), floor(r)). A segment is clipped in double precision against the
// image (Liang-Barsky) and the visible part is drawn with Bresenham's
// algorithm, both end pixels included (a zero-length segment sets one pixel).
// Segments with a NaN or infinite coordinate, or whose extent overflows, are
// skipped.
#pragma once

#include <QImage>
#include <QRgb>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zr {

class LineRasterizer {
public:
    // The image is converted to Format_RGB32 unless it already has 32-bit
    // pixels (RGB32, ARGB32, ARGB32_Premultiplied). A null image draws nothing.
    explicit LineRasterizer(QImage& image);

    // Solid (default) or dotted (two pixels on, two off, counted along the
    // line's major axis from the image edge, so clipping does not shift it).
    void setDotted(bool dotted) { style_ = dotted ? Style::Dotted : Style::Solid; }
    // Dashed: five pixels on, three off, counted like the dots. setDotted(false) ends it too.
    void setDashed(bool dashed) { style_ = dashed ? Style::Dashed : Style::Solid; }

    // Returns false if the segment was skipped (non-finite), true otherwise,
    // also when nothing of it lies inside the image.
    bool line(double x0, double y0, double x1, double y1, QRgb colour);

    // Fills the whole image with one colour.
    void fill(QRgb colour);

    int width() const { return width_; }
    int height() const { return height_; }

    // Fills pixels (col, row0 .. row1) of one column inside the image.
    void column(int col, int row0, int row1, QRgb colour);
    std::uint32_t* row(int y) { return bits_ + y * stride_; }

    // The end pixels line() draws between, after clipping.
    struct Ends {
        bool finite = true;   // false: line() skips the segment
        bool visible = false; // something of it lies inside the image
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    Ends ends(double x0, double y0, double x1, double y1) const;
    // Draws a visible segment from its end pixels, as line() does.
    void draw(const Ends& e, QRgb colour);

private:
    std::uint32_t* bits_ = nullptr;
    std::ptrdiff_t stride_ = 0; // in pixels
    int width_ = 0;
    int height_ = 0;
    enum class Style { Solid, Dotted, Dashed };
    Style style_ = Style::Solid;
};

// A polyline drawn segment by segment, pixel for pixel as line() draws each segment from the
// pen to the next point. Consecutive points that fall into one pixel column (well inside the
// image horizontally) are joined by vertical runs only; their segments together cover the run
// from the lowest to the highest of them, cut off at the image, so such a group is filled as one
// run. A dense trace thus costs one run per column instead of one segment per point. All the
// trace's pixels have one colour, so the runs of a column are joined and drawn at the end; only
// a run apart from its column's (a trace that turns back) is drawn at once.
class TracePen {
public:
    TracePen(LineRasterizer& r, QRgb colour);

    // Sets the pen (draws nothing).
    void start(double col, double row) { pen_ = classify(col, row); }
    // The segment from the pen to (col, row); the pen moves there.
    void to(double col, double row) {
        const Point p = classify(col, row);
        if (pen_.column >= 0 && p.column == pen_.column) {
            if (!grouped_) {
                grouped_ = true;
                low_ = high_ = pen_.row;
            }
            low_ = std::min(low_, p.row);
            high_ = std::max(high_, p.row);
        } else {
            segment(p);
        }
        pen_ = p;
    }
    // Draws what is still held back; call after the last point (before anything else is drawn
    // over the trace).
    void finish();

    // Segments left out because a coordinate was not a finite number.
    std::int64_t skipped() const { return skipped_; }

private:
    struct Point {
        double col = 0.0;
        double row = 0.0;
        int column = -1; // pixel column for a point that can join a group, else -1
    };
    Point classify(double col, double row) const {
        Point p{col, row, -1};
        const double x = col - 0.5; // as line() shifts it
        const double c = x + 0.5;
        // Horizontally strictly inside, never within a hair of a column boundary (so that an
        // end point moved by vertical clipping stays in the column), and a row whose distance
        // to any other such row is a finite number.
        if (x > -0.5 && x < right_ && std::abs(row) < 1e300) {
            const double f = std::floor(c);
            if (c - f >= kMargin && f + 1.0 - c >= kMargin)
                p.column = static_cast<int>(f);
        }
        return p;
    }
    void segment(const Point& p);
    void flush();
    // Rows row0 .. row1 of one column: joined to the column's pending run when they overlap or
    // touch it, else drawn at once.
    void paint(int col, int row0, int row1);
    void paintPending(); // draws the pending runs of all columns

    static constexpr double kMargin = 1e-9;
    LineRasterizer& r_;
    QRgb colour_;
    double right_;  // last horizontal position inside, as line() clips
    double bottom_; // likewise vertically
    Point pen_;
    bool grouped_ = false;
    double low_ = 0.0; // extreme rows of the pending group
    double high_ = 0.0;
    std::int64_t skipped_ = 0;
    // Per column, a run of rows of this trace still to be drawn (none: low > high).
    int* pendingLow_ = nullptr;
    int* pendingHigh_ = nullptr;
};

// Liang-Barsky clipping of (x0,y0)-(x1,y1) against [xmin,xmax] x [ymin,ymax].
// Returns false when the segment lies outside or is not finite; otherwise the
// endpoints are replaced by the visible part.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax);

} // namespace zr

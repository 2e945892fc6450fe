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

#include <cstdint>

namespace zr {

class LineRasterizer {
public:
    // The image is converted to Format_RGB32 unless it already has 32-bit
    // pixels (RGB32, ARGB32, ARGB32_Premultiplied). A null image draws nothing.
    explicit LineRasterizer(QImage& image);

    // Solid (default) or dotted (two pixels on, two off, counted along the
    // line's major axis from the image edge, so clipping does not shift it).
    void setDotted(bool dotted) { dotted_ = dotted; }

    // Returns false if the segment was skipped (non-finite), true otherwise,
    // also when nothing of it lies inside the image.
    bool line(double x0, double y0, double x1, double y1, QRgb colour);

    // Fills the whole image with one colour.
    void fill(QRgb colour);

    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::uint32_t* bits_ = nullptr;
    std::ptrdiff_t stride_ = 0; // in pixels
    int width_ = 0;
    int height_ = 0;
    bool dotted_ = false;
};

// Liang-Barsky clipping of (x0,y0)-(x1,y1) against [xmin,xmax] x [ymin,ymax].
// Returns false when the segment lies outside or is not finite; otherwise the
// endpoints are replaced by the visible part.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax);

} // namespace zr

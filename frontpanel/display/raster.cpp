#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zr {

namespace {
// Keeps the far edges open; far above the rounding error of pixel coordinates.
constexpr double kEdge = 1e-7;
} // namespace

LineRasterizer::LineRasterizer(QImage& image) {
    if (image.isNull())
        return;
    const QImage::Format f = image.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_RGB32);
    bits_ = reinterpret_cast<std::uint32_t*>(image.bits());
    stride_ = image.bytesPerLine() / 4;
    width_ = image.width();
    height_ = image.height();
}

void LineRasterizer::fill(QRgb colour) {
    if (bits_ == nullptr)
        return;
    const std::uint32_t px = 0xff000000u | colour;
    std::fill_n(bits_, width_, px);
    // The other rows as copies of the first: a block copy is several times faster than storing
    // pixel by pixel.
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * sizeof(std::uint32_t);
    for (int y = 1; y < height_; ++y)
        std::memcpy(bits_ + y * stride_, bits_, rowBytes);
}

void LineRasterizer::column(int col, int row0, int row1, QRgb colour) {
    const std::uint32_t px = 0xff000000u | colour;
    std::uint32_t* at = bits_ + row0 * stride_ + col;
    for (int y = row0; y <= row1; ++y, at += stride_)
        *at = px;
}

TracePen::TracePen(LineRasterizer& r, QRgb colour)
    : r_(r), colour_(colour), right_(r.width() - 0.5 - kEdge), bottom_(r.height() - 0.5 - kEdge) {
    // Kept between traces, so a redraw allocates nothing once the widest picture was drawn.
    thread_local std::vector<int> pending;
    const auto w = static_cast<std::size_t>(r.width());
    pending.assign(2 * w, 0);
    std::fill_n(pending.begin(), w, std::numeric_limits<int>::max());
    std::fill_n(pending.begin() + static_cast<std::ptrdiff_t>(w), w,
                std::numeric_limits<int>::min());
    pendingLow_ = pending.data();
    pendingHigh_ = pending.data() + w;
}

void TracePen::segment(const Point& p) {
    flush();
    const LineRasterizer::Ends e = r_.ends(pen_.col, pen_.row, p.col, p.row);
    if (!e.finite) {
        ++skipped_;
        return;
    }
    if (!e.visible)
        return;
    const int adx = std::abs(e.x1 - e.x0);
    const int ady = std::abs(e.y1 - e.y0);
    if (adx >= ady) {
        r_.draw(e, colour_);
        return;
    }
    // A steep segment covers one run of rows in each column it crosses. line()'s m-th column
    // change comes right after its step (2 ady m + ady) / (2 adx) (whole-number division), so
    // each run follows without stepping through the rows.
    const int sx = e.x1 >= e.x0 ? 1 : -1;
    const int sy = e.y1 >= e.y0 ? 1 : -1;
    int first = 0;
    for (int m = 0; m <= adx; ++m) {
        const int last = m < adx ? static_cast<int>((2LL * ady * m + ady) / (2LL * adx)) : ady;
        paint(e.x0 + sx * m, e.y0 + sy * first, e.y0 + sy * last);
        first = last + 1;
    }
}

void TracePen::paint(int col, int row0, int row1) {
    const int a = std::min(row0, row1);
    const int b = std::max(row0, row1);
    int& low = pendingLow_[col];
    int& high = pendingHigh_[col];
    if (low > high) {
        low = a;
        high = b;
    } else if (b < low - 1 || a > high + 1) {
        r_.column(col, a, b, colour_); // apart from the column's run: drawn now
    } else {
        low = std::min(low, a);
        high = std::max(high, b);
    }
}

void TracePen::paintPending() {
    const int w = r_.width();
    int top = std::numeric_limits<int>::max();
    int bottom = std::numeric_limits<int>::min();
    long pixels = 0;
    for (int c = 0; c < w; ++c) {
        if (pendingLow_[c] <= pendingHigh_[c]) {
            top = std::min(top, pendingLow_[c]);
            bottom = std::max(bottom, pendingHigh_[c]);
            pixels += pendingHigh_[c] - pendingLow_[c] + 1;
        }
    }
    if (top > bottom)
        return;
    // Sparse runs (a thin trace) column by column; dense ones (noise) row by row, where the
    // pixels of a row lie next to each other in memory.
    if (pixels < static_cast<long>(bottom - top + 1) * w / 8) {
        for (int c = 0; c < w; ++c)
            if (pendingLow_[c] <= pendingHigh_[c])
                r_.column(c, pendingLow_[c], pendingHigh_[c], colour_);
        return;
    }
    const std::uint32_t px = 0xff000000u | colour_;
    for (int y = top; y <= bottom; ++y) {
        std::uint32_t* row = r_.row(y);
        int c = 0;
#if defined(__SSE2__)
        const __m128i vy = _mm_set1_epi32(y);
        const __m128i vpx = _mm_set1_epi32(static_cast<int>(px));
        for (; c + 4 <= w; c += 4) {
            const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pendingLow_ + c));
            const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pendingHigh_ + c));
            const __m128i out = _mm_or_si128(_mm_cmpgt_epi32(lo, vy), _mm_cmpgt_epi32(vy, hi));
            auto* at = reinterpret_cast<__m128i*>(row + c);
            const __m128i old = _mm_loadu_si128(at);
            _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(out, old), _mm_andnot_si128(out, vpx)));
        }
#endif
        for (; c < w; ++c)
            if (pendingLow_[c] <= y && y <= pendingHigh_[c])
                row[c] = px;
    }
}

void TracePen::flush() {
    if (!grouped_)
        return;
    grouped_ = false;
    // The rows as line() sees them: above the image, below it, or the pixel row.
    const double top = low_ - 0.5;
    const double bottom = high_ - 0.5;
    if (bottom < -0.5 || top > bottom_ || r_.width() == 0)
        return; // every segment of the group lies above, or every one below, the image
    const int last = r_.height() - 1;
    auto toRow = [last](double v) {
        return static_cast<int>(std::floor(std::clamp(v + 0.5, -1.0, last + 1.0)));
    };
    paint(pen_.column, std::clamp(toRow(top), 0, last), std::clamp(toRow(bottom), 0, last));
}

void TracePen::finish() {
    flush();
    paintPending();
}

bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1) &&
          std::isfinite(dx) && std::isfinite(dy)))
        return false;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    double t0 = 0.0;
    double t1 = 1.0;
    int edge0 = -1; // boundary that set t0 / t1, so its coordinate is set exactly
    int edge1 = -1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0)
                return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0.0) {
            if (t > t0) {
                t0 = t;
                edge0 = k;
            }
        } else if (t < t1) {
            t1 = t;
            edge1 = k;
        }
    }
    if (t0 > t1)
        return false;
    const double bounds[4] = {xmin, xmax, ymin, ymax};
    const double ox = x0;
    const double oy = y0;
    if (edge1 >= 0) {
        x1 = ox + t1 * dx;
        y1 = oy + t1 * dy;
        (edge1 < 2 ? x1 : y1) = bounds[edge1];
    }
    if (edge0 >= 0) {
        x0 = ox + t0 * dx;
        y0 = oy + t0 * dy;
        (edge0 < 2 ? x0 : y0) = bounds[edge0];
    }
    return true;
}

namespace {

// Bresenham along the major axis: `major` pixel steps of `majorStep` (in
// pixels of the buffer), and `minor` steps of `minorStep` spread by the
// midpoint rule. Both end pixels are written; the pointer never leaves the
// segment. `pos` / `dir` give the major coordinate for the dotted pattern.
// Pattern: 0 solid, 1 dotted (two on, two off), 2 dashed (five on, three off).
template <int Pattern> bool patternOn(int pos) {
    if constexpr (Pattern == 1)
        return ((pos >> 1) & 1) == 0;
    else if constexpr (Pattern == 2)
        return (pos & 7) < 5;
    else
        return true;
}

template <int Pattern>
void walk(std::uint32_t* at, std::uint32_t px, int major, int minor, std::ptrdiff_t majorStep,
          std::ptrdiff_t minorStep, int pos, int dir) {
    int d = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        if (patternOn<Pattern>(pos))
            *at = px;
        if (d > 0) {
            at += minorStep;
            d -= 2 * major;
        }
        d += 2 * minor;
        at += majorStep;
        pos += dir;
    }
    if (patternOn<Pattern>(pos))
        *at = px;
}

} // namespace

LineRasterizer::Ends LineRasterizer::ends(double x0, double y0, double x1, double y1) const {
    Ends e;
    if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1) &&
          std::isfinite(x1 - x0) && std::isfinite(y1 - y0))) {
        e.finite = false;
        return e;
    }
    // Pixel centres at whole numbers: the image spans [-0.5, size - 0.5), open
    // at the right and bottom so that a point on the far edge (column == width)
    // lies outside, as it does for pixel (floor(col), floor(row)).
    x0 -= 0.5;
    y0 -= 0.5;
    x1 -= 0.5;
    y1 -= 0.5;
    if (bits_ == nullptr ||
        !clipSegment(x0, y0, x1, y1, -0.5, -0.5, width_ - 0.5 - kEdge, height_ - 0.5 - kEdge))
        return e;

    auto toPixel = [](double v, int size) {
        return std::clamp(static_cast<int>(std::floor(v + 0.5)), 0, size - 1);
    };
    e.visible = true;
    e.x0 = toPixel(x0, width_);
    e.y0 = toPixel(y0, height_);
    e.x1 = toPixel(x1, width_);
    e.y1 = toPixel(y1, height_);
    return e;
}

bool LineRasterizer::line(double x0, double y0, double x1, double y1, QRgb colour) {
    const Ends e = ends(x0, y0, x1, y1);
    if (!e.visible)
        return e.finite;
    draw(e, colour);
    return true;
}

void LineRasterizer::draw(const Ends& e, QRgb colour) {
    const int ix0 = e.x0;
    const int iy0 = e.y0;
    const int ix1 = e.x1;
    const int iy1 = e.y1;

    const int adx = std::abs(ix1 - ix0);
    const int ady = std::abs(iy1 - iy0);
    const int sx = ix1 >= ix0 ? 1 : -1;
    const std::ptrdiff_t sy = (iy1 >= iy0 ? 1 : -1) * stride_;
    std::uint32_t* at = bits_ + iy0 * stride_ + ix0;
    const std::uint32_t px = 0xff000000u | colour;
    if (adx >= ady) {
        if (style_ == Style::Dotted)
            walk<1>(at, px, adx, ady, sx, sy, ix0, sx);
        else if (style_ == Style::Dashed)
            walk<2>(at, px, adx, ady, sx, sy, ix0, sx);
        else
            walk<0>(at, px, adx, ady, sx, sy, ix0, sx);
    } else {
        const int dirY = iy1 >= iy0 ? 1 : -1;
        if (style_ == Style::Dotted)
            walk<1>(at, px, ady, adx, sy, sx, iy0, dirY);
        else if (style_ == Style::Dashed)
            walk<2>(at, px, ady, adx, sy, sx, iy0, dirY);
        else
            walk<0>(at, px, ady, adx, sy, sx, iy0, dirY);
    }
}

} // namespace zr

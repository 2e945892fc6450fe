// drawgraph: redraws the whole graph (grid, trace, marker line) into the
// retained picture and returns the read-out lines for the window's labels.
#pragma once

#include "axes.h"
#include "display_state.h"
#include "marker.h"

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zr {

// The picture's user coordinate system for one mode's display setup.
// Horizontal unit: divisions (an x value u lies at u / xperdiv); vertical:
// data units, growing upward. The grid spans L .. L + xgrids and T .. T - S;
// the picture spans 1.002 times that, so the right and bottom grid lines lie
// just inside it.
struct GraphFrame {
    double L = 0.0; // left grid edge = picture's left edge
    double T = 0.0; // top grid edge = picture's top edge
    double S = 1.0; // vertical span of the grid, yperdiv * ygrids
    double xgrids = 10.0;
    double ygrids = 10.0;
    double yperdiv = 0.1;
    double xperdiv = 1.0;
    double width() const { return 1.002 * xgrids; } // picture width in user units
    double height() const { return 1.002 * S; }     // picture height in user units
};

GraphFrame graphFrame(const DisplayState& s, int modeindex);

// Continuous pixel position of a point: pixel (floor(col), floor(row)).
struct PixelPos {
    double col = 0.0;
    double row = 0.0;
};

// The one mapping from user coordinates (h in divisions, v in data units) to
// pixels of a picture of width x height pixels.
inline PixelPos userToPixel(const GraphFrame& f, double h, double v, int width, int height) {
    return {(h - f.L) / f.width() * width, (f.T - v) / f.height() * height};
}

// Horizontal user coordinate (divisions) of pixel column `col`, as the mouse
// handler needs it: L + col / width * 1.002 * xgrids.
double pixelToUserX(const GraphFrame& f, double col, int width);

struct GraphColours {
    QRgb background = qRgb(255, 255, 255); // the window colour
    QRgb foreground = qRgb(0, 0, 0);       // the window-text colour: the trace
    QRgb grid = qRgb(128, 128, 128);
    QRgb marker = qRgb(128, 0, 0);
    QRgb reference = qRgb(0, 0, 255); // the relative reference, dashed
};

// What drawgraph reads besides the display state.
struct GraphInputs {
    int modeindex = 0;               // authoritative; overrides axis.modeindex
    std::span<const float> dispdata; // y values; only the first npoints are read
    std::int16_t avgmode = 0;
    double avgcount = 0.0;
    std::int16_t windowindex = 0;
    bool markrelx = false; // check box markrel(0)
    bool markrely = false; // check box markrel(1)
    XAxisInputs axis;      // used by labelaxes when relabel is set
    GraphColours colours;
};

struct GraphTexts {
    std::optional<AxisLabels> axes;   // lablegraph(0..2), only when labelaxes ran
    std::string marker;               // lablegraph(3); empty with the marker off
    std::string averages;             // lablegraph(4); empty with averaging off
    std::int64_t skippedSegments = 0; // trace segments left out (not drawable numbers)
};

// Redraws the picture from the state: labelaxes first if relabel is set, then
// clear, grid, trace (one segment per point, consecutive points joined, cut
// off at the picture's edges), averages read-out and marker overlay. With the
// marker shown and relative X or Y on, the reference is drawn under the marker
// line: a dashed vertical line at relx, a dashed horizontal line at rely, and
// with both a hollow diamond where they cross. Only
// dispdata[0 .. min(npoints, dispdata.size()) - 1] is read. A trace segment
// whose coordinates are not finite is skipped and the rest is drawn. The
// picture keeps its size; a null picture gets only the texts.
// Throws std::out_of_range for a modeindex outside 0..2 (nothing is changed).
GraphTexts drawgraph(DisplayState& s, const GraphInputs& in, QImage& picture);

// "Averages = " and the count with a leading blank when not negative
// ("Averages =  12").
std::string averagesText(double avgcount);

// "Copy Caption": the non-empty read-out lines lablegraph(0..4) in order,
// each followed by one carriage return (no line feed).
std::string captionText(std::span<const std::string> lines);

// A number in the short general form the read-outs use (12, 0.5, 1e-07).
std::string generalNumber(double v);

} // namespace zr

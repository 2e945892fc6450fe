// Axes, scales and read-out lines of the graph: the x axis of the displayed
// data, the three axis read-out lines, X and Y autoscale and the reference
// position lists. Plain computation; the window's handlers write the results
// into the text fields and apply them with txt_lostfocus.
#pragma once

#include "display_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zr {

// Throws std::out_of_range unless modeindex is 0, 1 or 2.
void checkModeIndex(int modeindex);

// Everything the x axis depends on besides the display state.
struct XAxisInputs {
    int modeindex = 0;
    int datatypeindex = 0; // 0 baseband (real), non-zero zoom (complex)
    std::int32_t blocklen = 1024;
    double fs = 20480000.0; // number at the start of the selected sampfreq entry, Hz
    double clockfreq = 20480000.0;
    double centerfrac = 0.0; // centre frequency as a fraction of clockfreq
    double histmin = -1.0;
    double histmax = 1.0;
    double nbins = 256.0;        // number at the start of the selected histbins entry
    bool resampGaussian = false; // option resampmode(1) "Gaussian Response"
    bool resampFlat = false;     // option resampmode(2) "Flat Response"
    // When the displayed block came out of the software resampler (time
    // domain, baseband data), the spacing and count the measurement loop set
    // for it. labelaxes keeps them, so that a redraw between two blocks does
    // not spread the resampled points over blocklen input sample periods.
    struct Resampled {
        double xstep = 0.0;
        std::int32_t npoints = 0;
    };
    // The settings a resampled block was taken under. Its spacing and count
    // describe the block only while all of these still hold.
    struct ResampleSetup {
        std::int32_t blocklen = 0;
        double fs = 0.0;
        int option = 0;    // selected resampmode option
        int rateindex = 0; // resampindex
        bool operator==(const ResampleSetup&) const = default;
    };
    std::optional<Resampled> resampled;
};

struct XAxis {
    double xstart = 0.0;
    double xstep = 1.0;
    std::int32_t npoints = 1;
};

// Where the data points lie on the x axis for the mode of `in`.
// npoints is kept within 1 .. kMaxPoints (the size of the displayed block).
XAxis computeXAxis(const XAxisInputs& in);

// Mode title, X scale line and Y scale line (lablegraph(0)..lablegraph(2)).
using AxisLabels = std::array<std::string, 3>;

// The three read-out lines for the current mode's display setup.
AxisLabels axisLabels(const DisplayState& s, int modeindex);

// labelaxes: stores the x axis into s (xstart, xstep, npoints), clears
// relabel and returns the texts for lablegraph(0)..lablegraph(2).
AxisLabels labelaxes(DisplayState& s, const XAxisInputs& in);

// X autoscale. Call labelaxes first (the handler does), so xstart, xstep and
// npoints are current. xgridsText is the number read from the start of the
// X-Grids field.
struct XAutoResult {
    double xref = 0.0;    // text for txt(12)
    double xperdiv = 0.0; // text for txt(13)
};
// The reference lies at the left edge (xposindex 0), the centre (1) or the
// right edge (2) of the data span npoints * xstep, which starts at xstart
// (at 0 in time-domain mode). If the X-Grids number is not a positive finite
// number, the current mode's xgrids is used instead; should that not be
// usable either, 10 divisions are used. xposindex outside 0..2 counts as 0.
XAutoResult xautoscale(const DisplayState& s, int modeindex, double xgridsText);

// Y autoscale (autoscaley): a scale per division d from the steps
// 1.5, 2, 2.5, 3, 3.5, 4, 5, 6, 7.5, 10 per decade, strictly larger than the
// data span / ygrids, and a reference r for the current mode's yrefpos.
// Looks at dispdata[0 .. npoints-1] (never beyond the span). Non-finite
// values are left out. Returns nothing (nothing is to change) when the data
// are all equal, there are no finite values, or the span does not give a
// finite scale.
struct YAutoResult {
    double yref = 0.0;    // text for txt(9)
    double yperdiv = 0.0; // text for txt(10)
};
std::optional<YAutoResult> autoscaley(std::span<const float> dispdata, std::int32_t npoints,
                                      double ygrids, int yrefpos);

// The step choice alone: d for a raw scale per division > 0.
double autoscaleStep(double raw);

// xpos_Click / ypos_Click: remember the list entry and make it the current
// mode's reference position; sets relabel. The caller runs xauto_click after
// xpos_Click when xautoflag is on. index is limited to 0..2.
void selectXPos(DisplayState& s, int modeindex, int index);
void selectYPos(DisplayState& s, int modeindex, int index);

} // namespace zr

// The trace on show as CSV text: comment lines ("# ...") that describe it,
// then a header row and one row per displayed point. Plain text building, no
// widgets; the window gathers the inputs.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zr {

// The settings that decide what the trace shows, as the panels show them.
struct TraceSettings {
    std::string mode;     // entry of "Mode" ("Spectrum")
    std::string range;    // entry of "Range" ("10.24V, (30dBm)")
    std::string datatype; // entry of "Data type"
    std::int32_t blocklen = 0;
    double fs = 0.0;            // sample rate in Hz (number of the "Sample freq" entry)
    double centerfreq = 0.0;    // Hz
    std::string window;         // entry of "Window"
    std::string averaging;      // entry of "Averaging"
    double numavg = 0.0;        // "# Averages"
    double avgcount = 0.0;      // averages accumulated so far
    std::string resampling;     // selected "Filter & Resample" option
    std::string ratemultiplier; // entry of "Rate multiplier"
    std::int32_t nbins = 0;
    double histmin = 0.0;
    double histmax = 0.0;
};

struct TraceExport {
    int modeindex = 0;                   // 0 time domain, 1 spectrum, 2 histogram: picks the units
    std::string saved;                   // date and time of the export; left out when empty
    std::array<std::string, 5> readouts; // lablegraph(0..4); empty ones are left out
    TraceSettings settings;
    double xstart = 0.0;           // x value of point 0
    double xstep = 1.0;            // x distance between points
    std::span<const float> values; // y values of the points on show, one row each
};

// Units of the rows: x in s, Hz or V; y in V, dBm or counts.
struct TraceUnits {
    const char* x;
    const char* y;
};
TraceUnits traceUnits(int modeindex);

// The CSV text, lines ended by '\n'. Numbers are written in the shortest form
// that reads back as the same value (point i at x = xstart + i * xstep, y as
// the single-precision value drawn); a value that is not a number reads
// "nan", an infinite one "inf" or "-inf". Throws std::out_of_range for a
// modeindex outside 0..2.
std::string traceCsv(const TraceExport& trace);

} // namespace zr

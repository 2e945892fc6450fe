// The CSV text of the trace on show: comment lines, header, one exact row per point.
#include "export_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Each mode: its header and units, then the points as hand-worked rows (binary fractions and
// the shortest float texts, so every number reads back as the value drawn).
TEST(TraceCsv, HeaderUnitsAndOneExactRowPerPoint) {
    const float values[] = {1.5f, -2.0f, 0.1f, -500.0f};
    struct Case {
        int mode;
        const char* header;
        const char* units;
    };
    const Case cases[] = {
        {0, "Time (s),Voltage (V)", "# Units: x s, y V"},
        {1, "Frequency (Hz),Level (dBm)", "# Units: x Hz, y dBm"},
        {2, "Voltage (V),Counts", "# Units: x V, y counts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        zr::TraceExport t;
        t.modeindex = c.mode;
        t.xstart = 0.5;
        t.xstep = 0.25;
        t.values = values;
        const std::vector<std::string> lines = linesOf(zr::traceCsv(t));
        ASSERT_GE(lines.size(), 6u);
        const std::vector<std::string> tail(lines.end() - 6, lines.end());
        EXPECT_EQ(tail, (std::vector<std::string>{c.units, c.header, "0.5,1.5", "0.75,-2", "1,0.1",
                                                  "1.25,-500"}));
        EXPECT_EQ(lines[lines.size() - 7], "# Points: 4");
    }
    zr::TraceExport bad;
    bad.modeindex = 3;
    EXPECT_THROW(zr::traceCsv(bad), std::out_of_range);
}

// The comment lines name the mode, the non-empty read-outs and the settings; values that are
// not numbers still give a row of two fields.
TEST(TraceCsv, CommentsDescribeTheTraceAndOddValuesKeepTheirRow) {
    zr::TraceExport t;
    t.modeindex = 1;
    t.saved = "2026-12-07T10:00:00";
    t.readouts = {"Spectrum", "X:   Left= ...", "", "Marker: X= ...", ""};
    zr::TraceSettings& s = t.settings;
    s = {"Spectrum",
         "10.24V, (30dBm)",
         "Zoom (complex)",
         1024,
         2560000.0,
         5e6,
         "Hann",
         "Exponential",
         10,
         7,
         "Gaussian Response",
         "2x",
         256,
         -1.0,
         1.0};
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         -std::numeric_limits<float>::infinity()};
    t.values = odd;
    const std::vector<std::string> expected = {
        "# ZRQ7010 trace",
        "# Saved: 2026-12-07T10:00:00",
        "# Mode: Spectrum",
        "# Read-out: Spectrum",
        "# Read-out: X:   Left= ...",
        "# Read-out: Marker: X= ...",
        "# Range: 10.24V, (30dBm)",
        "# Data type: Zoom (complex)",
        "# Block size: 1024 samples",
        "# Sample rate: 2560000 Hz",
        "# Center frequency: 5000000 Hz",
        "# Window: Hann",
        "# Averaging: Exponential",
        "# Number of averages: 10",
        "# Averages done: 7",
        "# Resampling: Gaussian Response, rate multiplier 2x",
        "# Histogram bins: 256",
        "# Histogram min: -1 V",
        "# Histogram max: 1 V",
        "# Points: 2",
        "# Units: x Hz, y dBm",
        "Frequency (Hz),Level (dBm)",
        "0,nan",
        "1,-inf",
    };
    EXPECT_EQ(linesOf(zr::traceCsv(t)), expected);
}

} // namespace

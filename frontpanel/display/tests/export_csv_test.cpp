// The CSV text of the trace on show: comment lines, header, one exact row per point.
#include "export_csv.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

// A spectrum trace as a whole: the mode, the non-empty read-outs and the settings as comments,
// then one row per point in the shortest text that reads back as the value drawn (a value that
// is not a number keeps its row). The other modes differ in header and units only.
TEST(TraceCsv, CommentsHeaderAndOneExactRowPerPoint) {
    const float values[] = {1.5f, 0.1f, -std::numeric_limits<float>::infinity()};
    zr::TraceExport t;
    t.modeindex = 1;
    t.saved = "2026-12-07T10:00:00";
    t.readouts = {"Spectrum", "X: ...", "", "Marker: X= ...", ""};
    zr::TraceSettings& s = t.settings;
    // clang-format off
    s = {"Spectrum", "10.24V, (30dBm)", "Zoom (complex)", 1024, 2560000.0, 5e6, "Hann",
         "Exponential", 10, 7, "Gaussian Response", "2x", 256, -1.0, 0.5};
    // clang-format on
    t.xstart = 0.5;
    t.xstep = 0.25;
    t.values = values;
    EXPECT_EQ(zr::traceCsv(t), "# ZRQ7010 trace\n"
                               "# Saved: 2026-12-07T10:00:00\n"
                               "# Mode: Spectrum\n"
                               "# Read-out: Spectrum\n"
                               "# Read-out: X: ...\n"
                               "# Read-out: Marker: X= ...\n"
                               "# Range: 10.24V, (30dBm)\n"
                               "# Data type: Zoom (complex)\n"
                               "# Block size: 1024 samples\n"
                               "# Sample rate: 2560000 Hz\n"
                               "# Center frequency: 5000000 Hz\n"
                               "# Window: Hann\n"
                               "# Averaging: Exponential\n"
                               "# Number of averages: 10\n"
                               "# Averages done: 7\n"
                               "# Resampling: Gaussian Response, rate multiplier 2x\n"
                               "# Histogram bins: 256\n"
                               "# Histogram min: -1 V\n"
                               "# Histogram max: 0.5 V\n"
                               "# Points: 3\n"
                               "# Units: x Hz, y dBm\n"
                               "Frequency (Hz),Level (dBm)\n"
                               "0.5,1.5\n"
                               "0.75,0.1\n"
                               "1,-inf\n");
    for (const auto& [mode, start] :
         {std::pair{0, "# Units: x s, y V\nTime (s),Voltage (V)\n0.5,1.5\n"},
          std::pair{2, "# Units: x V, y counts\nVoltage (V),Counts\n0.5,1.5\n"}}) {
        t.modeindex = mode;
        EXPECT_NE(zr::traceCsv(t).find(start), std::string::npos) << start;
    }
    t.modeindex = 3;
    EXPECT_THROW(zr::traceCsv(t), std::out_of_range);
}

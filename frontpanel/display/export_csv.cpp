#include "export_csv.h"

#include <charconv>
#include <stdexcept>

namespace zr {

namespace {

template <class T> void appendNumber(std::string& out, T value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void comment(std::string& out, const char* name, const std::string& value) {
    out += "# ";
    out += name;
    out += ": ";
    out += value;
    out += '\n';
}

// Settings read best in plain decimals ("5000000", "0.001"), still exact.
template <class T>
void commentNumber(std::string& out, const char* name, T value, const char* unit = nullptr) {
    char buf[400];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::fixed);
    std::string text(buf, res.ptr);
    if (unit != nullptr) {
        text += ' ';
        text += unit;
    }
    comment(out, name, text);
}

constexpr const char* kHeaders[3] = {"Time (s),Voltage (V)", "Frequency (Hz),Level (dBm)",
                                     "Voltage (V),Counts"};

} // namespace

TraceUnits traceUnits(int modeindex) {
    static constexpr TraceUnits kUnits[3] = {{"s", "V"}, {"Hz", "dBm"}, {"V", "counts"}};
    if (modeindex < 0 || modeindex > 2) {
        throw std::out_of_range("measurement mode index outside 0..2");
    }
    return kUnits[modeindex];
}

std::string traceCsv(const TraceExport& t) {
    const TraceUnits units = traceUnits(t.modeindex);
    const TraceSettings& s = t.settings;
    std::string out;
    out.reserve(512 + t.values.size() * 32);
    out += "# ZRQ7010 trace\n";
    if (!t.saved.empty()) {
        comment(out, "Saved", t.saved);
    }
    comment(out, "Mode", s.mode);
    for (const std::string& line : t.readouts) {
        if (!line.empty()) {
            comment(out, "Read-out", line);
        }
    }
    comment(out, "Range", s.range);
    comment(out, "Data type", s.datatype);
    commentNumber(out, "Block size", s.blocklen, "samples");
    commentNumber(out, "Sample rate", s.fs, "Hz");
    commentNumber(out, "Center frequency", s.centerfreq, "Hz");
    comment(out, "Window", s.window);
    comment(out, "Averaging", s.averaging);
    commentNumber(out, "Number of averages", s.numavg);
    commentNumber(out, "Averages done", s.avgcount);
    comment(out, "Resampling", s.resampling + ", rate multiplier " + s.ratemultiplier);
    commentNumber(out, "Histogram bins", s.nbins);
    commentNumber(out, "Histogram min", s.histmin, "V");
    commentNumber(out, "Histogram max", s.histmax, "V");
    commentNumber(out, "Points", t.values.size());
    comment(out, "Units", std::string("x ") + units.x + ", y " + units.y);
    out += kHeaders[t.modeindex];
    out += '\n';
    for (std::size_t i = 0; i < t.values.size(); ++i) {
        appendNumber(out, t.xstart + static_cast<double>(i) * t.xstep);
        out += ',';
        appendNumber(out, t.values[i]);
        out += '\n';
    }
    return out;
}

} // namespace zr

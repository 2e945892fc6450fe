#include "shell/control_tips.h"

#include "common/number_text.h"
#include "diag/diag_registers.h"
#include "measure/measure_lists.h"
#include "settings/numeric_fields.h"
#include "settings/settings_lists.h"
#include "shell/shortcuts.h"

#include <array>
#include <cmath>
#include <utility>

namespace zr {

namespace {

// What each numeric field sets and its unit; the limits are added from the field rules.
constexpr std::array<std::string_view, kFieldCount> kFieldWhat = {
    "Marker position, in the X unit (Sec, Hz or Volts by mode)",
    "External sample clock, in Hz (with Source External)",
    "Center frequency of the zoom band, in Hz",
    "Number of blocks averaged",
    "Lowest value the histogram counts, in Volts",
    "Highest value the histogram counts, in Volts",
    "Level of the Input (% range) trigger, in the module's units",
    "Level of the Magnitude (dBfs) trigger, in dBfs",
    "Trigger delay, in samples",
    "Y value at the reference position, in the Y unit shown",
    "Y scale per division, in the Y unit shown",
    "Number of Y divisions",
    "X value at the reference position, in the X unit shown",
    "X scale per division, in the X unit shown",
    "Number of X divisions",
    "Reference X of the relative marker, in the X unit",
    "Reference Y of the relative marker, in the Y unit",
    "Marker step of the << and >> buttons, in the X unit",
};

std::string str(std::string_view s) {
    return std::string(s);
}

// "first to last" of a list's entries, each cut at its first comma.
std::string entryHead(std::string_view entry) {
    return str(entry.substr(0, entry.find(',')));
}
template <class List> std::string fromTo(const List& list) {
    return entryHead(list.front()) + " to " + entryHead(list.back());
}

std::string trimLimits() {
    const TrimDac fine = trimDacFor(0);
    const TrimDac adjust = trimDacFor(static_cast<int>(kTrimDacEntries.size()) - 1);
    return formatNumber(fine.minValue) + " to " + formatNumber(fine.maxValue) + " (" +
           str(kTrimDacEntries.back()) + ": " + formatNumber(adjust.minValue) + " to " +
           formatNumber(adjust.maxValue) + ")";
}

// Controls other than the numeric fields, by name.
std::string plainTip(std::string_view c) {
    using Tip = std::pair<std::string_view, std::string>;
    const Tip tips[] = {
        // Input
        {"range", "Input range, full scale: " + fromTo(kRangeEntries)},
        {"coupling", "Input coupling: DC or AC"},
        {"signal", "Connects the input signal (OFF or ON)"},
        {"ground", "Input grounding: single ended or floating"},
        {"aliasfilt", "Analog anti-alias filter: bypassed or 8 MHz"},
        {"autorange", "Lets the module choose the input range"},
        {"autozero", "Zeroes the input offset"},
        // Acquisition
        {"datatype", "Real baseband or complex zoom samples"},
        {"bandwidth", "Filter bandwidth, in Hz; the first entry: the analog filter alone"},
        {"sampfreq", "Output sample rate, in Hz: the two rates offered for the bandwidth chosen"},
        {"blocksize", "Samples per block: " + fromTo(std::array{kBlockSizeEntries.front(),
                                                                kLargeBlockSizeEntries.back()})},
        {"precision", "Sample width: " + fromTo(kPrecisionEntries)},
        {"appendstatus", "Sends the overload flag with each block"},
        // Trigger
        {"triggen", "Enables the module's trigger generation"},
        {"trigsource", "What triggers a block"},
        {"trigslope", "Trigger edge: positive or negative"},
        // Measurement
        {"measmode", "Time domain, spectrum or histogram of each block"},
        {"averaging", "Averaging of successive blocks: off, exponential or peak hold"},
        {"resampmode(0)", "Filters and resamples with the module's own filter"},
        {"resampmode(1)", "Resamples in software with a Gaussian response"},
        {"resampmode(2)", "Resamples in software with a flat response"},
        {"resamp", "Rate multiplier of the software resampler: " + fromTo(kResampEntries)},
        {"window", "Window of the spectrum: " + fromTo(kWindowEntries)},
        {"histbins", "Number of histogram bins: " + fromTo(kHistBinsEntries)},
        {"autohist", "Sets Histogram Min and Max from the block on show"},
        // Display
        {"ypos", "Where Y-Ref sits on the graph: top, center or bottom"},
        {"xpos", "Where X-Ref sits on the graph: left, center or right"},
        {"xautoflag", "Rescales X whenever a setting changes the X span"},
        {"yauto", "Fits the Y scale to the trace on show"},
        {"xauto", "Fits the X scale to the whole block"},
        // Marker
        {"markermode", "Marker off, on, or reading noise density"},
        {"markrel(0)", "Shows the marker X relative to the reference X"},
        {"markrel(1)", "Shows the marker Y relative to the reference Y"},
        {"markrelload(0)", "Takes the marker's X as the reference X"},
        {"markrelload(1)", "Takes the marker's Y as the reference Y"},
        {"markstepload", "Takes the marker's X as the step size"},
        {"markmove(0)", "Moves the marker left by the step size"},
        {"markmove(1)", "Moves the marker left by one point"},
        {"markmove(2)", "Moves the marker to the highest point"},
        {"markmove(3)", "Moves the marker right by one point"},
        {"markmove(4)", "Moves the marker right by the step size"},
        {"picbox", "Click to place the marker"},
        // Measurement buttons
        {"meascontrol(0)", "Starts measuring anew (averages restart)"},
        {"meascontrol(1)", "Stops after the current block"},
        {"meascontrol(2)", "Measures again, keeping the average"},
        {"meascontrol(3)", "Measures one more block and stops"},
        // Clock
        {"syncmode", "Clock synchronisation with other modules"},
        {"clocksource", "Sample clock: " + fromTo(kClockSourceEntries)},
        {"mastermode", "Clock master mode: off, on or buffer"},
        {"slowclock", "Runs the module's signal processor on the slow clock"},
        // Diagnostics
        {"calmode", "Calibration mode of the module"},
        {"dataout", "Which converter delivers the data"},
        {"bumping", "Calibration bumping: off or on"},
        {"tau", "Time constant of the calibration: " + fromTo(kTauEntries)},
        {"showcal", "Shows the calibration table window"},
        {"trimdac", "Trim DAC whose value is shown and written"},
        {"adc1entry", "Value of the trim DAC: " + trimLimits() + "; Enter writes it"},
        {"Command1", "Saves the current settings as the module's power-on settings"},
    };
    for (const auto& [name, text] : tips) {
        if (name == c) {
            return text;
        }
    }
    return {};
}

// The field index of "txt(i)", or -1.
int fieldIndexOf(std::string_view c) {
    constexpr std::string_view prefix = "txt(";
    if (c.substr(0, prefix.size()) != prefix || c.back() != ')') {
        return -1;
    }
    int index = 0;
    for (char ch : c.substr(prefix.size(), c.size() - prefix.size() - 1)) {
        if (ch < '0' || ch > '9') {
            return -1;
        }
        index = index * 10 + (ch - '0');
        if (index >= kFieldCount) {
            return -1;
        }
    }
    return c.size() > prefix.size() + 1 ? index : -1;
}

} // namespace

std::string fieldLimitsText(int index) {
    if (index < 0 || index >= kFieldCount) {
        return {};
    }
    if (index == 7) {
        return formatNumber(magLevelForCode(kMagCodeMin)) + " to " +
               formatNumber(magLevelForCode(kMagCodeMax)) + " in steps of " +
               formatFixedAbs(kMagStepDb, 2) + " dB";
    }
    const FieldLimits& l = kFieldLimits[static_cast<std::size_t>(index)];
    std::string parts;
    const auto add = [&parts](const std::string& part) {
        parts += (parts.empty() ? "" : ", ") + part;
    };
    if (l.whole) {
        add("whole number");
    }
    const bool low = std::isfinite(l.min);
    const bool high = std::isfinite(l.max);
    if (low && high) {
        add(formatNumber(l.min) + " to " + formatNumber(l.max));
    } else if (low) {
        add(formatNumber(l.min) + " or more");
    } else if (high) {
        add(formatNumber(l.max) + " or less");
    }
    if (l.zeroAs != 0.0) {
        add("0 is taken as " + formatNumber(l.zeroAs));
    }
    if (l.magnitude) {
        add("the sign is dropped");
    }
    return parts;
}

std::string controlTip(std::string_view control) {
    std::string tip;
    const int field = fieldIndexOf(control);
    if (field >= 0) {
        tip = str(kFieldWhat[static_cast<std::size_t>(field)]);
        const std::string limits = fieldLimitsText(field);
        if (!limits.empty()) {
            tip += ": " + limits;
        }
    } else {
        tip = plainTip(control);
    }
    const std::string_view keys = shortcutFor(control);
    if (!tip.empty() && !keys.empty()) {
        tip += " (" + str(keys) + ")";
    }
    return tip;
}

} // namespace zr

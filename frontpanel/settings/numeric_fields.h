// The 18 numeric entry fields txt(0)..txt(17): what committing a field's
// text means. commitField is the whole table of field rules as one pure
// function; the window's txt_lostfocus(Index) stores the result, makes the
// driver call it names and runs the follow-ups, in this order:
//
//   FieldResult r = commitField(Index, txt(Index).text(), context());
//   store r.value / r.intValue into r.target (slot r.slot of a per-mode array);
//   make r.call (with r.callDouble or r.callInt);
//   for r.call == TriggerDelay: read the delay back, finishDelayField(r, d);
//   if r.rebuildLists: fillfslist(), then fillbwlist();
//   if r.reapplyCenter: txt_lostfocus(2);
//   if r.runXauto: xauto_click();
//   write r.text into the field; relabel = true.
#pragma once

#include "settings/settings_state.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace zr {

inline constexpr int kFieldCount = 18;

// Captions beside the fields (fields 9 and 12 are followed by the unit label).
inline constexpr std::array<std::string_view, kFieldCount> kFieldCaptions = {"X-value",
                                                                             "Ext clock freq",
                                                                             "Center freq",
                                                                             "# Averages",
                                                                             "Histogram Min",
                                                                             "Histogram Max",
                                                                             "Level (% range)",
                                                                             "Level (dBfs)",
                                                                             "Delay (samples)",
                                                                             "Y-Ref,",
                                                                             "Y-Per Div",
                                                                             "Y-Grids",
                                                                             "X-Ref,",
                                                                             "X-Per Div",
                                                                             "X-Grids",
                                                                             "X",
                                                                             "Y",
                                                                             "Step size"};

// Texts of the fields when the window is created.
inline constexpr std::array<std::string_view, kFieldCount> kFieldInitialTexts = {
    "0", "20480000", "0",  "10", "-1",    "1",  "0", "-60", "0",
    "0", ".1",       "10", "0",  "10e-6", "10", "0", "0",   "0"};

// Step of the magnitude trigger level in dB (20 log10(2) / 16) and its code range.
inline constexpr double kMagStepDb = 0.376287495;
inline constexpr int kMagCodeMin = -349;
inline constexpr int kMagCodeMax = 19;
inline constexpr double kMaxClockFreq = 20480000.0;

// How a field holds a typed number before it is stored: rounded to a whole
// number (halves up), then held to min..max, then a zero replaced and the sign
// dropped where the field says so. The magnitude trigger level (field 7) is
// quantised by its code instead (magCodeForLevel).
struct FieldLimits {
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
    bool whole = false;
    double zeroAs = 0.0;    // a zero entry becomes this (0: zero is kept)
    bool magnitude = false; // a negative entry loses its sign
};

inline constexpr std::array<FieldLimits, kFieldCount> kFieldLimits = [] {
    std::array<FieldLimits, kFieldCount> l{};
    l[1].min = 1.0; // external clock, Hz
    l[1].max = kMaxClockFreq;
    l[3].whole = true; // averages: a 32-bit count of at least 1
    l[3].min = 1.0;
    l[3].max = 2147483647.0;
    l[6].min = -256.0; // ADC trigger level
    l[6].max = 255.0;
    l[8].whole = true;    // delay, samples
    l[10].zeroAs = 1e-20; // Y per division
    l[11].whole = true;   // Y grids
    l[11].min = 1.0;
    l[11].max = 50.0;
    l[13].zeroAs = 1e-10; // X per division
    l[14].whole = true;   // X grids, no upper limit
    l[14].min = 1.0;
    l[17].magnitude = true; // marker step
    return l;
}();

// A typed number held as field `index` holds it (index outside 0..17: unchanged).
double holdToFieldLimits(int index, double v);

// Where a committed value is stored. Per-mode targets are arrays of the
// display setup; store into element FieldResult::slot.
enum class FieldTarget {
    None,
    MarkX,      // per mode
    ClockFreq,  // SettingsState::clockfreq (only when FieldResult::store is true)
    CenterFrac, // SettingsState::centerfrac
    NumAvg,     // measurement state, whole number >= 1 (intValue)
    HistMin,    // measurement state
    HistMax,    // measurement state
    AdcLevel,   // SettingsState::adclevel (intValue)
    MagCode,    // SettingsState::magcode (intValue)
    TrigDelay,  // SettingsState::trigdelay (intValue, after the read-back)
    YRef,       // per mode
    YPerDiv,    // per mode
    YGrids,     // per mode
    XRef,       // per mode
    XPerDiv,    // per mode
    XGrids,     // per mode
    RelX,       // per mode
    RelY,       // per mode
    MarkStep,   // per mode
};

// The one driver call a field makes, if any.
enum class FieldCall {
    None,
    FrequencyCenter, // frequency_center(instr, callDouble)
    TriggerAdcLevel, // trigger_adclevel(instr, int16 callInt)
    TriggerMagLevel, // trigger_maglevel(instr, int16 callInt)
    TriggerDelay,    // trigger_delay(instr, callInt), then trigger_delay_get + finishDelayField
};

// What the committing handler needs to know about the rest of the window.
struct FieldContext {
    int modeindex = 0;             // 0 Time domain, 1 Spectrum, 2 Histogram
    int clockindex = 0;            // 2 = External
    double clockfreq = 20480000.0; // Hz
    bool xautoflag = false;        // "X-Auto On change"
};

struct FieldResult {
    int index = -1;     // the field
    double value = 0.0; // the accepted value V, as the field shows it
    std::string text;   // the text to write back into the field
    FieldTarget target = FieldTarget::None;
    int slot = -1;        // element of a per-mode array, else -1
    bool store = true;    // false: leave the target unchanged (field 1, clock not External)
    double stored = 0.0;  // value to store (differs from `value` only for the centre fraction)
    int32_t intValue = 0; // the stored value of a whole-number target
    FieldCall call = FieldCall::None;
    double callDouble = 0.0;    // argument of FrequencyCenter
    int32_t callInt = 0;        // argument of the integer calls (already limited to the type)
    bool rebuildLists = false;  // fillfslist, then fillbwlist
    bool reapplyCenter = false; // txt_lostfocus(2) after this field
    bool runXauto = false;      // xauto_click after this field
    bool relabel = true;        // every commit requests new axes
};

// Apply field `index` (0..17) with the text the operator left in it. Never
// throws; an index outside 0..17 gives a result with target None that writes
// back the parsed number.
FieldResult commitField(int index, std::string_view text, const FieldContext& ctx);

// Complete the delay field with the delay the module reports back.
void finishDelayField(FieldResult& result, int32_t readBack);

// Store the result into the values SettingsState owns (clockfreq, centerfrac,
// adclevel, magcode, trigdelay). Returns true when the target is one of them
// (clockfreq stays unchanged when `store` is false), false when the target
// belongs to the display or measurement state or is None.
bool storeInSettings(const FieldResult& result, SettingsState& st);

// The centre frequency as a fraction of the clock; 0 when the clock is not a
// positive frequency.
double centerFraction(double hertz, double clockfreq);

// The magnitude trigger code for a level in dBfs, and the level it programs
// (rounded to two decimals).
int16_t magCodeForLevel(double dbfs);
double magLevelForCode(int code);

} // namespace zr

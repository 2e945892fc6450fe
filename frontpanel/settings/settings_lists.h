// The list entries and codes of the Input, Acquisition, Trigger and Clock
// panels: texts of the bandwidth and sample-rate lists (what fillbwlist and
// fillfslist write), range codes, clock frequencies and block sizes.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zr {

// ---- Input -----------------------------------------------------------------

inline constexpr int kRangeCount = 10;
inline constexpr std::array<std::string_view, kRangeCount> kRangeEntries = {
    "10.24V, (30dBm)", "5.12V, (24dBm)", "2.56V, (18dBm)", "1.28V, (12dBm)", "640mV, (6dBm)",
    "320mV, (0dBm)",   "160mV, (-6dBm)", "80mV, (-12dBm)", "40mV, (-18dBm)", "20mV, (-24dBm)"};

inline constexpr std::array<std::string_view, 2> kCouplingEntries = {"DC", "AC"};
inline constexpr std::array<std::string_view, 2> kSignalEntries = {"OFF", "ON"};
inline constexpr std::array<std::string_view, 2> kGroundEntries = {"Single Ended", "Floating"};
inline constexpr std::array<std::string_view, 2> kAliasFilterEntries = {"Bypassed", "8MHz"};

// Driver range code of a range list entry: 9 - index (code 0 is 20 mV).
int16_t rangeCodeForIndex(int index);

// Range list entry of a driver range code, 9 - code, limited to 0..9 so that
// an unexpected answer of the automatic ranging still selects a real entry.
int rangeIndexForCode(int code);

// Polls `statusGet` (which returns the module's 16-bit status word) until the
// status is negative (most significant bit set), as the automatic ranging
// does before it reads the chosen range. Gives up after `timeout` and then
// returns false, so a module that never finishes cannot hang the window.
bool waitForAutorange(const std::function<int16_t()>& statusGet,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10));

inline constexpr std::string_view kAutorangeTimeoutMessage =
    "Auto Range did not finish; the range was left unchanged.";

// ---- Acquisition -----------------------------------------------------------

inline constexpr std::array<std::string_view, 2> kDataTypeEntries = {"Baseband (real)",
                                                                     "Zoom (complex)"};
// The designed block sizes; start-up appends the larger ones, which the preset never chooses.
inline constexpr std::array<std::string_view, 8> kBlockSizeEntries = {
    "32", "64", "128", "256", "512", "1024", "2048", "4096"};
inline constexpr std::array<std::string_view, 3> kLargeBlockSizeEntries = {"8192", "16384",
                                                                           "32768"};
inline constexpr std::array<std::string_view, 2> kPrecisionEntries = {"32-bits", "16-bits"};

inline constexpr int kBandwidthEntries = 24;
inline constexpr int kSampleRateEntries = 2;

// The plus-minus sign put before every bandwidth entry in zoom mode (UTF-8).
inline constexpr std::string_view kPlusMinus = "\xC2\xB1";

// Texts of the 24 bandwidth entries: entry 0 names the analog filter ("8MHz"
// when aliasindex is 1, else "40MHz"), entry i >= 1 is
// clockfreq * 100 / 512 / 2^(i-1) Hz in the "#,###.00" pattern; in zoom mode
// (datatypeindex 1) each entry starts with the plus-minus sign.
std::vector<std::string> bandwidthEntries(double clockfreq, int datatypeindex, int aliasindex);

// Texts of the 2 sample-rate entries for the bandwidth selection: with
// k = bwindex - 1 (0 for bwindex 0), clockfreq / 2^k and half of it, each
// with a leading blank (" 20480000").
std::vector<std::string> sampleRateEntries(double clockfreq, int bwindex);

// The sample rate in Hz of a sample-rate entry text (the number at its start).
double sampleRateOfEntry(std::string_view entry);

// Block size of a "Block Size" entry: 32 * 2^index, index limited to 0..10.
int32_t blocklenForIndex(int index);

// The window sum that the block-size handler asks for: 6.32455532 / blocklen.
float windowNormalisation(int32_t blocklen);

// ---- Trigger ---------------------------------------------------------------

inline constexpr std::array<std::string_view, 5> kTrigSourceEntries = {
    "Software", "Input (% range)", "External", "Magnitude (dBfs)", "Immediate"};
inline constexpr std::array<std::string_view, 2> kTrigSlopeEntries = {"Positive", "Negative"};

// ---- Clock -----------------------------------------------------------------

inline constexpr std::array<std::string_view, 3> kSyncModeEntries = {"Independent", "Front",
                                                                     "Rear"};
inline constexpr std::array<std::string_view, 3> kMasterModeEntries = {"Off", "On", "Buffer"};

inline constexpr std::array<std::string_view, 4> kClockSourceEntries = {"20.48MHz", "20MHz",
                                                                        "External", "20MHz locked"};

// Sample clock of a clock source selection; "External" (2) takes the number
// at the start of the "Ext clock freq" text, limited to 1 .. 20480000 Hz.
// An unknown index gives the 20.48 MHz clock.
double clockFreqForSource(int clockindex, std::string_view extClockText);

// Argument of clock_dsp for the "Slow Clock" box: a checked box sends 0.
int16_t slowClockArgument(bool checked);

} // namespace zr

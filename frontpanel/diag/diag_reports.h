// Texts of the diagnostic functions: the self-test message, the ADC
// calibration table, the power-on calibration stamp and the About box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zr {

// ---- Driver text buffers ---------------------------------------------------

// The text the driver left in a buffer: the part before the first NUL, or
// empty when the buffer holds no NUL.
std::string driverText(const char* buffer, std::size_t size);

// A buffer of `size` blanks (no NUL) to hand to the driver; the driver writes
// its NUL-terminated text into it.
std::string blankDriverBuffer(std::size_t size = 80);

// ---- Self test -------------------------------------------------------------

inline constexpr std::string_view kSelfTestTitle = "Self Test";
inline constexpr std::size_t kMaxQueuedErrors = 256;

struct ErrorQueue {
    std::vector<int32_t> codes; // the non-zero codes, in the order read
    bool endReached = true;     // false when the queue had not ended after the limit
};

// Reads codes with `nextCode` (one error_query call each) until it returns 0,
// but never more than `limit` codes, so a driver that never answers 0 cannot
// hang the window.
ErrorQueue drainErrorQueue(const std::function<int32_t()>& nextCode,
                           std::size_t limit = kMaxQueuedErrors);

// The self-test message: the test's text, then "," and each code with a
// leading blank before non-negative codes ("T, 12,-3"). When the queue did not
// end, a last line says so.
std::string selfTestMessage(std::string_view testText, const ErrorQueue& queue);

// ---- Calibration table -----------------------------------------------------

inline constexpr std::size_t kCalTableSize = 33;

// A calibration number in the "   +0.000000;   -0.000000" pattern: three
// blanks, the sign, the digits with six decimals (half away from zero).
std::string formatCalValue(double v);

// W1 = c(27) + c(26)/2 + ... + c(19)/256 and W2 = c(18) + c(17)/2 + ... + c(9)/512.
double calW1(std::span<const double> c);
double calW2(std::span<const double> c);

// The lines of the table, in order: header, rows 0..8, row 9, an empty line,
// "W1 = ", "W2 = ", "Gain adjust = ". Missing elements (a table shorter than
// 29 values) read as 0.
std::vector<std::string> calTableLines(std::span<const double> c);

// The lines each ended by carriage return and line feed (the clipboard text).
std::string joinCrLf(const std::vector<std::string>& lines);

// ---- Power-on save and its stamp ------------------------------------------

inline constexpr std::string_view kSaveTitle = "Calibration Save";
inline constexpr std::string_view kSaveQuestion =
    "Do you want to replace the power-on settings with the current values?";

struct StampDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// ((((year * 16 + month) * 32 + day) * 32 + hour) * 64 + minute): minute in
// bits 0..5, hour 6..10, day 11..15, month 16..19, year from bit 20.
struct StampResult {
    std::optional<int32_t> stamp; // empty when the date cannot be stored
    std::string message;          // why, when empty
};
StampResult packStamp(const StampDate& d);

// The fields of a stamp (year by arithmetic shift, so a negative stamp gives
// a negative year instead of a wrapped one).
StampDate unpackStamp(int32_t stamp);

// "03-03-2001,  09:05": month and day with two digits, the year without
// leading zeros, then hour and minute with two digits. 0 reads "00-00-0,  00:00".
std::string formatStamp(int32_t stamp);

// ---- About -----------------------------------------------------------------

inline constexpr std::string_view kAboutTitle = "About ZRQ7010 Front Panel";

struct AboutInfo {
    std::string productName;
    int major = 0;
    int minor = 0;
    int revision = 0;
    std::string legalNotice;
    std::string libraryRevision;  // first text of revision_query
    std::string firmwareRevision; // second text of revision_query
    int16_t memoryMegabytes = 0;  // data_memsize_get
    int32_t calibrationStamp = 0; // diag_cal_get
};

// The lines of the About box (the window joins them with line breaks).
std::vector<std::string> aboutLines(const AboutInfo& info);

} // namespace zr

// Reading and writing the numbers of the front panel's text fields and lists.
//
// Every numeric field is read with a leading-number parse that never fails
// (text that does not start with a number reads as 0) and written back in a
// shortest exact decimal form, so the field shows the value in force. The
// list texts use fixed patterns: "#,###.00" for bandwidths and a leading
// blank before non-negative numbers for sample rates and codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zr {

// The longest leading decimal number of `text`: leading blanks, an optional
// sign, digits with an optional point, and an optional exponent ("10e-6").
// Anything else reads as 0. A magnitude too large for a double reads as the
// largest finite double of that sign; one too small reads as 0. Never throws
// and never returns NaN or infinity.
double leadingNumber(std::string_view text);

// Shortest decimal text that reads back (through leadingNumber) as exactly
// `value`. Plain notation ("20480000", "-59.83", "0.1", "0.0001") unless the
// decimal exponent is below -4 or at least 15, where the exponent form is used
// ("1E-10", "5E-06", "1.5E+20"). Zero (of either sign) is "0". NaN shows as
// "0" and an infinity as the largest finite double of its sign, the values the
// parse would have produced.
std::string formatNumber(double value);

// formatNumber with one leading blank before a non-negative number
// (" 20480000", "-3"): the text of sample-rate entries, self-test codes and
// the memory size.
std::string formatNumberLeadingBlank(double value);

// Decimal text of `value` rounded to `decimals` places, half away from zero,
// decided on the exact binary value ("1953.125" to 2 places is "1953.13").
// No sign, always at least one integer digit ("0.95"). Non-finite gives "".
std::string formatFixedAbs(double value, int decimals);

// The "#,###.00" pattern: thousands separated by commas, two decimals, no
// integer digit when the integer part is 0 (4000000 -> "4,000,000.00",
// 0.9536 -> ".95", 0 -> ".00"). Negative values get a leading "-".
std::string formatGrouped2(double value);

// R(x): the largest integer not above x + 0.5 (halves go up: R(2.5) = 3,
// R(-2.5) = -2), computed without the rounding error of floor(x + 0.5).
double roundHalfUp(double x);

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double x);

// Nearest 16- / 32-bit integer (half to even), limited to the type's range
// instead of overflowing; NaN gives 0.
int16_t toInt16Nearest(double x);
int32_t toInt32Nearest(double x);

} // namespace zr

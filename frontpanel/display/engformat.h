// Engineering-notation numbers of the graph read-out lines.
#pragma once

#include <string>

namespace zr {

// Writes value as a mantissa with `digits` decimals, right-aligned (sign place
// and a three-character integer field), followed by the SI prefix letter of
// its power of 1000 ("p" .. "G"). The caller appends the unit:
// engformat(1500000, 6) + "Hz" == "   1.500000MHz".
// Zero reads "   0." followed by `digits` zeros, without a prefix letter.
// Magnitudes outside the "p".."G" groups keep the nearest group and a mantissa
// outside 1..1000. NaN and infinities read "NaN", "Inf", "-Inf", right-aligned
// like a number. digits is limited to 0..30.
std::string engformat(double value, int digits = 6);

} // namespace zr

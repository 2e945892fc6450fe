#include "engformat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zr {

namespace {

// Powers of ten that are exact in double for the scaling of each group.
double powerOfTen(int n) {
    double p = 1.0;
    for (int i = 0; i < n; ++i)
        p *= 10.0;
    return p;
}

// value / 1000^e without the rounding error of a negative power.
double scaled(double value, int e) {
    return e >= 0 ? value / powerOfTen(3 * e) : value * powerOfTen(-3 * e);
}

} // namespace

std::string engformat(double value, int digits) {
    digits = std::clamp(digits, 0, 30);

    if (value == 0.0)
        return "   0." + std::string(static_cast<std::size_t>(digits), '0');

    if (!std::isfinite(value)) {
        const std::string word = std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");
        const std::size_t width = 5 + static_cast<std::size_t>(digits);
        return std::string(width > word.size() ? width - word.size() : 0, ' ') + word;
    }

    const double magnitude = std::fabs(value);
    int e = static_cast<int>(std::floor(std::log10(magnitude) / 3.0));
    e = std::clamp(e, -4, 3);
    // log10 may land a hair off for values next to a power of 1000: keep the
    // scaled magnitude in 1 .. below 1000 where the group limits allow.
    if (e < 3 && std::fabs(scaled(value, e)) >= 1000.0)
        ++e;
    else if (e > -4 && std::fabs(scaled(value, e)) < 1.0)
        --e;

    static const char* const prefixes[] = {"p", "n", "u", "m", "", "K", "M", "G"};
    const double x = scaled(value, e);
    const double ax = std::fabs(x);

    // "####.000000": integer digits without leading zeros (none for 0), point, decimals.
    // At most 309 integer digits, the point and 30 decimals.
    char buf[400];
    std::snprintf(buf, sizeof buf, "%#.*f", digits, ax);
    std::string s(buf);
    if (s.size() > 1 && s[0] == '0' && s[1] == '.')
        s.erase(0, 1);

    std::string text;
    if (x >= 0)
        text = " ";
    if (ax < 10)
        text += ' ';
    if (ax < 100)
        text += ' ';
    if (x < 0)
        text += '-';
    text += s;
    text += prefixes[e + 4];
    return text;
}

} // namespace zr

#include "common/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace zr {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Decimal exponent of the first significant digit of a mantissa/exponent pair
// that from_chars could not represent; only its sign matters (overflow when
// positive, underflow otherwise), so the arithmetic saturates early.
long long leadingDecimalExponent(std::string_view mantissa, std::string_view exponent) {
    long long exp = 0;
    bool expNegative = false;
    size_t i = 0;
    if (i < exponent.size() && (exponent[i] == '+' || exponent[i] == '-')) {
        expNegative = exponent[i] == '-';
        ++i;
    }
    for (; i < exponent.size(); ++i) {
        if (exp < 1000000000LL)
            exp = exp * 10 + (exponent[i] - '0');
    }
    if (expNegative)
        exp = -exp;

    // Position of the first non-zero digit relative to the decimal point.
    long long intDigits = 0; // significant digits before the point
    long long leadingFracZeros = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    for (char c : mantissa) {
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) {
            if (seenSignificant || c != '0') {
                seenSignificant = true;
                if (intDigits < 1000000000LL)
                    ++intDigits;
            }
        } else if (!seenSignificant) {
            if (c == '0') {
                if (leadingFracZeros < 1000000000LL)
                    ++leadingFracZeros;
            } else {
                seenSignificant = true;
            }
        }
    }
    if (intDigits > 0)
        return exp + intDigits - 1;
    return exp - leadingFracZeros - 1;
}

} // namespace

double leadingNumber(std::string_view text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t mantissaStart = i;
    size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    const size_t mantissaEnd = i;
    size_t exponentStart = i;
    size_t exponentEnd = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        const size_t firstExpDigit = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > firstExpDigit) {
            exponentStart = i + 1;
            exponentEnd = j;
        }
    }
    const std::string_view mantissa = text.substr(mantissaStart, mantissaEnd - mantissaStart);
    const std::string_view exponent = text.substr(exponentStart, exponentEnd - exponentStart);

    std::string number(mantissa);
    if (!exponent.empty()) {
        number += 'e';
        number += exponent;
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        bool anySignificant = false;
        for (char c : mantissa)
            anySignificant = anySignificant || (c >= '1' && c <= '9');
        if (anySignificant && leadingDecimalExponent(mantissa, exponent) > 0)
            value = std::numeric_limits<double>::max();
        else
            value = 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string formatNumber(double value) {
    if (std::isnan(value) || value == 0.0)
        return "0";
    if (std::isinf(value))
        value =
            value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();

    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
    const std::string_view sci(buf.data(), static_cast<size_t>(res.ptr - buf.data()));

    // sci is "[-]d[.ddd]e[+-]xx": split into sign, significant digits, exponent.
    const bool negative = sci.front() == '-';
    const size_t ePos = sci.find('e');
    std::string digitsText;
    for (char c : sci.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0)))
        if (c != '.')
            digitsText += c;
    int exp10 = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                    exp10);

    std::string out = negative ? "-" : "";
    const int k = static_cast<int>(digitsText.size());
    if (exp10 < -4 || exp10 >= 15) {
        out += digitsText[0];
        if (k > 1) {
            out += '.';
            out += digitsText.substr(1);
        }
        out += 'E';
        out += exp10 < 0 ? '-' : '+';
        const int a = exp10 < 0 ? -exp10 : exp10;
        if (a < 10)
            out += '0';
        out += std::to_string(a);
    } else if (exp10 >= k - 1) {
        out += digitsText;
        out.append(static_cast<size_t>(exp10 - (k - 1)), '0');
    } else if (exp10 >= 0) {
        out += digitsText.substr(0, static_cast<size_t>(exp10) + 1);
        out += '.';
        out += digitsText.substr(static_cast<size_t>(exp10) + 1);
    } else {
        out += "0.";
        out.append(static_cast<size_t>(-exp10 - 1), '0');
        out += digitsText;
    }
    return out;
}

std::string formatNumberLeadingBlank(double value) {
    std::string text = formatNumber(value);
    if (text.front() != '-')
        text.insert(text.begin(), ' ');
    return text;
}

std::string formatFixedAbs(double value, int decimals) {
    if (!std::isfinite(value))
        return "";
    if (decimals < 0)
        decimals = 0;
    value = std::fabs(value);
    // 1074 fractional digits hold every double exactly; 309 integer digits the
    // largest one.
    constexpr int kExactDigits = 1074;
    std::string buf(309 + 2 + kExactDigits + 8, '\0');
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::fixed, kExactDigits);
    buf.resize(static_cast<size_t>(res.ptr - buf.data()));
    const size_t point = buf.find('.');
    std::string intPart = buf.substr(0, point);
    std::string fracPart = point == std::string::npos ? std::string() : buf.substr(point + 1);
    fracPart.resize(static_cast<size_t>(decimals) + 1, '0');
    const bool roundUp = fracPart.back() >= '5';
    fracPart.pop_back();
    if (roundUp) {
        int i = decimals - 1;
        for (; i >= 0; --i) {
            if (fracPart[static_cast<size_t>(i)] == '9') {
                fracPart[static_cast<size_t>(i)] = '0';
            } else {
                ++fracPart[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            int j = static_cast<int>(intPart.size()) - 1;
            for (; j >= 0; --j) {
                if (intPart[static_cast<size_t>(j)] == '9') {
                    intPart[static_cast<size_t>(j)] = '0';
                } else {
                    ++intPart[static_cast<size_t>(j)];
                    break;
                }
            }
            if (j < 0)
                intPart.insert(intPart.begin(), '1');
        }
    }
    return decimals > 0 ? intPart + "." + fracPart : intPart;
}

std::string formatGrouped2(double value) {
    const std::string fixed = formatFixedAbs(value, 2);
    if (fixed.empty())
        return "";
    const size_t point = fixed.find('.');
    std::string intPart = fixed.substr(0, point);
    const std::string fracPart = fixed.substr(point);
    if (intPart == "0")
        intPart.clear();
    std::string grouped;
    const size_t n = intPart.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += ',';
        grouped += intPart[i];
    }
    const bool negative = value < 0 && (fixed.find_first_not_of("0.") != std::string::npos);
    return (negative ? "-" : "") + grouped + fracPart;
}

double roundHalfUp(double x) {
    if (!std::isfinite(x))
        return x;
    const double f = std::floor(x);
    return (x - f >= 0.5) ? f + 1.0 : f;
}

double roundHalfEven(double x) {
    if (!std::isfinite(x))
        return x;
    const double f = std::floor(x);
    const double d = x - f;
    if (d > 0.5)
        return f + 1.0;
    if (d < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

int16_t toInt16Nearest(double x) {
    if (std::isnan(x))
        return 0;
    const double r = roundHalfEven(x);
    if (r >= 32767.0)
        return INT16_MAX;
    if (r <= -32768.0)
        return INT16_MIN;
    return static_cast<int16_t>(r);
}

int32_t toInt32Nearest(double x) {
    if (std::isnan(x))
        return 0;
    const double r = roundHalfEven(x);
    if (r >= 2147483647.0)
        return INT32_MAX;
    if (r <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(r);
}

} // namespace zr

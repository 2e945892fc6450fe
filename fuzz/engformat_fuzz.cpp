// The engineering format: any double and digit count gives a bounded text,
// and the mantissa times its prefix is the value, to the digits shown.
#include "display/engformat.h"
#include "fuzz_input.h"
#include "common/number_text.h"

#include <cmath>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zrfuzz::Input in(data, size);
    const double value = in.take<double>();
    const int digits = static_cast<int>(in.range(-5, 40));
    const std::string text = zr::engformat(value, digits);
    ZRFUZZ_CHECK(!text.empty());
    ZRFUZZ_CHECK(text.size() < 400);
    if (!std::isfinite(value)) {
        ZRFUZZ_CHECK(text.find(std::isnan(value) ? "NaN" : "Inf") != std::string::npos);
        return 0;
    }
    static const char prefixes[] = "pnum KMG";
    int group = 0; // power of 1000
    const char last = text.back();
    if (const char* p = std::strchr(prefixes, last); p != nullptr && last != ' ') {
        group = static_cast<int>(p - prefixes) - 4;
    }
    const double mantissa = zr::leadingNumber(text);
    const int shown = std::clamp(digits, 0, 30);
    const double scale = std::pow(1000.0, group);
    // Half a unit of the last digit shown, and the rounding of the scaling itself.
    const double tolerance = (0.5 * std::pow(10.0, -shown) + 1e-12 * std::fabs(mantissa)) * scale;
    ZRFUZZ_CHECK(std::fabs(mantissa * scale - value) <= tolerance * (1 + 1e-9) ||
                 !std::isfinite(mantissa * scale));
    return 0;
}

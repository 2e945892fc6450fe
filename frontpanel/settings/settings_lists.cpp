#include "settings/settings_lists.h"

#include "common/number_text.h"

#include <cmath>

namespace zr {

int16_t rangeCodeForIndex(int index) {
    return static_cast<int16_t>(9 - index);
}

int rangeIndexForCode(int code) {
    const int index = 9 - code;
    if (index < 0)
        return 0;
    if (index > kRangeCount - 1)
        return kRangeCount - 1;
    return index;
}

bool waitForAutorange(const std::function<int16_t()>& statusGet,
                      std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (statusGet() < 0)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}

std::vector<std::string> bandwidthEntries(double clockfreq, int datatypeindex, int aliasindex) {
    const std::string prefix = datatypeindex == 1 ? std::string(kPlusMinus) : std::string();
    std::vector<std::string> entries;
    entries.reserve(kBandwidthEntries);
    entries.push_back(prefix + (aliasindex == 1 ? "8MHz" : "40MHz"));
    double b = clockfreq * 100.0 / 512.0;
    for (int i = 1; i < kBandwidthEntries; ++i) {
        entries.push_back(prefix + formatGrouped2(b));
        b /= 2.0;
    }
    return entries;
}

std::vector<std::string> sampleRateEntries(double clockfreq, int bwindex) {
    int k = bwindex;
    if (k > 0)
        k -= 1;
    if (k < 0)
        k = 0;
    const double rate = std::ldexp(clockfreq, -k);
    return {formatNumberLeadingBlank(rate), formatNumberLeadingBlank(rate / 2.0)};
}

double sampleRateOfEntry(std::string_view entry) {
    return leadingNumber(entry);
}

int32_t blocklenForIndex(int index) {
    if (index < 0)
        index = 0;
    if (index > 10)
        index = 10;
    return 32 << index;
}

float windowNormalisation(int32_t blocklen) {
    if (blocklen <= 0)
        return 0.0f;
    return static_cast<float>(6.32455532 / blocklen);
}

double clockFreqForSource(int clockindex, std::string_view extClockText) {
    switch (clockindex) {
    case 1:
    case 3:
        return 20000000.0;
    case 2: {
        double f = leadingNumber(extClockText);
        if (f > 20480000.0)
            f = 20480000.0;
        if (f < 1.0)
            f = 1.0;
        return f;
    }
    default:
        return 20480000.0;
    }
}

int16_t slowClockArgument(bool checked) {
    return checked ? 0 : 1;
}

} // namespace zr

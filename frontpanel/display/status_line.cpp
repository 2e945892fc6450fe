#include "status_line.h"

#include "engformat.h"
#include "marker.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace zr {

const char* runStateText(RunState state) {
    switch (state) {
    case RunState::Running:
        return "Running";
    case RunState::Single:
        return "Single";
    case RunState::Paused:
        break;
    }
    return "Paused";
}

void BlockRate::start(std::int64_t nowNs) {
    opened_ = nowNs;
    started_ = true;
    count_ = 0;
    rate_.reset();
}

void BlockRate::roll(std::int64_t nowNs) {
    if (!started_) {
        start(nowNs);
        return;
    }
    const std::int64_t length = nowNs - opened_;
    if (length >= windowNs_ && length > 0) {
        rate_ = static_cast<double>(count_) * 1e9 / static_cast<double>(length);
        opened_ = nowNs;
        count_ = 0;
    }
}

void BlockRate::block(std::int64_t nowNs) {
    roll(nowNs);
    ++count_;
}

std::optional<double> BlockRate::perSecond(std::int64_t nowNs) {
    if (started_)
        roll(nowNs);
    return rate_;
}

std::string blockRateText(std::optional<double> perSecond) {
    if (!perSecond || !std::isfinite(*perSecond))
        return {};
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.1f blocks/s", *perSecond);
    return buf;
}

double resolutionBandwidth(int windowindex, double fs, std::int32_t points) {
    if (points <= 0 || !(fs > 0.0))
        return 0.0;
    return noiseBandwidthFactor(windowindex) * fs / points;
}

std::string rbwText(double hertz) {
    std::string number = engformat(hertz, 3);
    const auto first = number.find_first_not_of(' ');
    number.erase(0, first == std::string::npos ? number.size() : first);
    std::string prefix;
    if (!number.empty() && std::isalpha(static_cast<unsigned char>(number.back())) &&
        number != "NaN" && number != "Inf" && number != "-Inf") {
        prefix = number.back() == 'K' ? "k" : std::string(1, number.back());
        number.pop_back();
    }
    return "RBW " + number + " " + prefix + "Hz";
}

} // namespace zr

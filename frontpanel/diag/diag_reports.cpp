#include "diag/diag_reports.h"

#include "common/number_text.h"

#include <cmath>
#include <cstring>

namespace zr {

std::string driverText(const char* buffer, std::size_t size) {
    if (buffer == nullptr)
        return {};
    const void* nul = std::memchr(buffer, '\0', size);
    if (nul == nullptr)
        return {};
    return std::string(buffer, static_cast<const char*>(nul));
}

std::string blankDriverBuffer(std::size_t size) {
    return std::string(size, ' ');
}

ErrorQueue drainErrorQueue(const std::function<int32_t()>& nextCode, std::size_t limit) {
    ErrorQueue q;
    for (;;) {
        if (q.codes.size() >= limit) {
            q.endReached = false;
            break;
        }
        const int32_t code = nextCode();
        if (code == 0)
            break;
        q.codes.push_back(code);
    }
    return q;
}

std::string selfTestMessage(std::string_view testText, const ErrorQueue& queue) {
    std::string msg(testText);
    for (int32_t code : queue.codes) {
        msg += ',';
        msg += formatNumberLeadingBlank(code);
    }
    if (!queue.endReached) {
        msg += "\nThe error queue did not end after " + std::to_string(queue.codes.size()) +
               " codes; the remaining codes were not read.";
    }
    return msg;
}

std::string formatCalValue(double v) {
    if (std::isnan(v))
        return "   NaN";
    if (std::isinf(v))
        return v > 0 ? "   +Inf" : "   -Inf";
    return std::string(v < 0 ? "   -" : "   +") + formatFixedAbs(v, 6);
}

namespace {

double at(std::span<const double> c, std::size_t i) {
    return i < c.size() ? c[i] : 0.0;
}

} // namespace

double calW1(std::span<const double> c) {
    double w = 0.0;
    for (std::size_t i = 0; i <= 8; ++i)
        w = at(c, 19 + i) + w / 2.0;
    return w;
}

double calW2(std::span<const double> c) {
    double w = 0.0;
    for (std::size_t i = 0; i <= 8; ++i)
        w = at(c, 9 + i) + w / 2.0;
    return at(c, 18) + w / 2.0;
}

std::vector<std::string> calTableLines(std::span<const double> c) {
    std::vector<std::string> lines;
    lines.emplace_back("     DAC3        DAC2        DAC1");
    for (std::size_t i = 0; i <= 8; ++i)
        lines.push_back(formatCalValue(at(c, i)) + formatCalValue(at(c, 9 + i)) +
                        formatCalValue(at(c, 19 + i)));
    lines.push_back(std::string(12, ' ') + formatCalValue(at(c, 18)));
    lines.emplace_back();
    lines.push_back("W1 = " + formatCalValue(calW1(c)));
    lines.push_back("W2 = " + formatCalValue(calW2(c)));
    lines.push_back("Gain adjust = " + formatCalValue(at(c, 28)));
    return lines;
}

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

StampResult packStamp(const StampDate& d) {
    StampResult r;
    if (d.year > 2047) {
        r.message = "The power-on settings cannot be stamped with a date after the year 2047; "
                    "nothing was saved.";
        return r;
    }
    if (d.year < 0 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31 || d.hour < 0 ||
        d.hour > 23 || d.minute < 0 || d.minute > 59) {
        r.message = "The current date and time cannot be stored in the calibration stamp; "
                    "nothing was saved.";
        return r;
    }
    const int32_t stamp = ((((d.year * 16 + d.month) * 32 + d.day) * 32 + d.hour) * 64 + d.minute);
    r.stamp = stamp;
    return r;
}

StampDate unpackStamp(int32_t stamp) {
    const auto u = static_cast<uint32_t>(stamp);
    StampDate d;
    d.minute = static_cast<int>(u & 0x3Fu);
    d.hour = static_cast<int>((u >> 6) & 0x1Fu);
    d.day = static_cast<int>((u >> 11) & 0x1Fu);
    d.month = static_cast<int>((u >> 16) & 0x0Fu);
    d.year = stamp >> 20;
    return d;
}

namespace {

std::string twoDigits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

std::string formatStamp(int32_t stamp) {
    const StampDate d = unpackStamp(stamp);
    return twoDigits(d.month) + "-" + twoDigits(d.day) + "-" + std::to_string(d.year) + ",  " +
           twoDigits(d.hour) + ":" + twoDigits(d.minute);
}

std::vector<std::string> aboutLines(const AboutInfo& info) {
    std::vector<std::string> lines;
    lines.push_back(info.productName + ", Version " + std::to_string(info.major) + "." +
                    std::to_string(info.minor) + "." + std::to_string(info.revision));
    lines.push_back(info.legalNotice);
    lines.emplace_back();
    lines.emplace_back(40, '_');
    lines.emplace_back();
    lines.emplace_back("System Information:");
    lines.push_back("   Library revision: " + info.libraryRevision);
    lines.push_back("   Firmware/Board revision: " + info.firmwareRevision);
    lines.push_back("   Memory Size: " + formatNumberLeadingBlank(info.memoryMegabytes) + "MByte");
    lines.push_back("   Last calibrated: " + formatStamp(info.calibrationStamp));
    return lines;
}

} // namespace zr

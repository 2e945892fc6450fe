// The line the stand-in driver journals for one call (see simdriver/README.md),
// also written by the front panel's recording test fake, so that both logs
// compare line for line.
//
// The line is the C function name, then every input argument, each after a
// single blank: integers in decimal, floating-point values with "%.17g", the
// descriptor text as given ("(null)" for none). Output pointers and text
// buffers (every other pointer) are left out.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

namespace zrq7010 {

template <typename T> void appendJournalArgument(std::string& line, T value) {
    if constexpr (std::is_same_v<T, const char*>) {
        line += ' ';
        line += value != nullptr ? value : "(null)";
    } else if constexpr (std::is_pointer_v<T>) {
        return; // an output
    } else if constexpr (std::is_floating_point_v<T>) {
        char text[32];
        std::snprintf(text, sizeof text, " %.17g", static_cast<double>(value));
        line += text;
    } else {
        static_assert(std::is_integral_v<T>);
        line += ' ';
        line += std::to_string(value);
    }
}

template <typename... Args> std::string journalLine(const char* function, Args... args) {
    std::string line = function;
    (appendJournalArgument(line, args), ...);
    return line;
}

} // namespace zrq7010

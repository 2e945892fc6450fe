// Texts of the plain computations as the window shows them.
#pragma once

#include "common/number_text.h"

#include <QString>

#include <string_view>

namespace zr {

// UTF-8 text as a QString.
inline QString toQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A number in the general decimal text the fields are written with.
inline QString numberText(double value) {
    return toQ(formatNumber(value));
}

} // namespace zr

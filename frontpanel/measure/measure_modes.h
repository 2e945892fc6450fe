// The measurement modes: the values of modeindex, shared by the measurement
// and display subsystems (every per-mode display value is indexed by them).
#pragma once

#include <cstdint>

namespace zr {

inline constexpr int16_t kModeTime = 0;
inline constexpr int16_t kModeSpectrum = 1;
inline constexpr int16_t kModeHistogram = 2;

} // namespace zr

// Form-level values of the main window that belong to the diagnostic register controls, self test
// and calibration table. Plain data, no widgets: the main window inherits it, so handlers use the
// names directly, and tests can build it on its own.
#pragma once

#include <cstdint>

namespace zr {

struct DiagState {
    int16_t tauindex = 0; // "Tau": 0..7 for "2^22".."2^29" (register 1, bits 5..7)
    int16_t calmodeindex =
        0;                 // "Cal Mode": 0 "Reset" .. 7 "Full calibration" (register 1, bits 8..10)
    int16_t bumpindex = 0; // "Bumping": 0 "Off", 1 "On" (register 13)
    int16_t trimindex = 0; // "Trim DAC": 0..8, selects the trim register
};

} // namespace zr

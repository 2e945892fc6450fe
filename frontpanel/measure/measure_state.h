// Form-level values of the main window that belong to the measurement loop, modes, averaging, histogram and resampling options.
// Plain data, no widgets: the main window inherits it, so handlers use the
// names directly, and tests can build it on its own.
#pragma once

namespace zr {

struct MeasureState {
};

} // namespace zr

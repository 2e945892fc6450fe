// Form-level values of the main window that belong to the graph, axes, markers and per-mode display setup.
// Plain data, no widgets: the main window inherits it, so handlers use the
// names directly, and tests can build it on its own.
#pragma once

namespace zr {

struct DisplayState {
};

} // namespace zr

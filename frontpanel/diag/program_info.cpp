#include "diag/program_info.h"

// The version numbers come from the build (the project's version).
#ifndef ZR_VERSION_MAJOR
#error "ZR_VERSION_MAJOR must be defined by the build"
#endif

namespace zr {

ProgramInfo programInfo() {
    ProgramInfo info;
    info.productName = "ZRQ7010 Front Panel";
    info.major = ZR_VERSION_MAJOR;
    info.minor = ZR_VERSION_MINOR;
    info.revision = ZR_VERSION_PATCH;
    info.legalNotice =
        "Copyright (C) 2026 the ZRQ7010 front panel developers. All rights reserved.";
    return info;
}

} // namespace zr

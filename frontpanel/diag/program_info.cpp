#include "diag/program_info.h"

// The version numbers come from the build (the project's version).
#ifndef ZR_VERSION_MAJOR
#error "ZR_VERSION_MAJOR must be defined by the build"
#endif
#ifndef ZR_BIN_TO_DATADIR
#error "ZR_BIN_TO_DATADIR must be defined by the build"
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

std::filesystem::path userGuidePath(const std::filesystem::path& programDir) {
    const std::filesystem::path beside = programDir / kUserGuideFile;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec))
        return beside;
    const std::filesystem::path installed =
        (programDir / ZR_BIN_TO_DATADIR / "zrq7010" / kUserGuideFile).lexically_normal();
    if (std::filesystem::exists(installed, ec))
        return installed;
    return beside;
}

} // namespace zr

// The program's own version information, as the About box shows it: product
// name, version numbers from the build, and the legal notice.
#pragma once

#include <string>

namespace zr {

struct ProgramInfo {
    std::string productName;
    int major = 0;
    int minor = 0;
    int revision = 0;
    std::string legalNotice;
};

ProgramInfo programInfo();

// The file name of the user guide, installed next to the program.
inline constexpr const char* kUserGuideFile = "zrq7010-help.html";

} // namespace zr

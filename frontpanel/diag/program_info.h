// The program's own version information, as the About box shows it: product
// name, version numbers from the build, and the legal notice.
#pragma once

#include <filesystem>
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

// The file name of the user guide: next to the program in the build tree,
// in share/zrq7010 when installed.
inline constexpr const char* kUserGuideFile = "zrq7010-help.html";

// The user guide of the program in programDir: the file next to the program
// when it exists, else the installed one (../share/zrq7010 from the program)
// when that exists, else the path next to the program (for the message).
std::filesystem::path userGuidePath(const std::filesystem::path& programDir);

} // namespace zr

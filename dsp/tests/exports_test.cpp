// The shared library's binary interface: exactly the seventeen entry points
// are exported (and declared by the public header), the soname carries the
// major version, and nothing but the standard runtime is linked.
#include "zrdsp_32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::set<std::string> kEntryPoints = {
    "zrdsp_fft",         "zrdsp_fft_double",      "zrdsp_fft_real",  "zrdsp_fft_real_double",
    "zrdsp_spectrum",    "zrdsp_spectrum_double", "zrdsp_cspectrum", "zrdsp_cspectrum_double",
    "zrdsp_window",      "zrdsp_window_double",   "zrdsp_fir",       "zrdsp_fir_double",
    "zrdsp_fir_synth",   "zrdsp_fir_resp",        "zrdsp_resample",  "zrdsp_resample_double",
    "zrdsp_resamp_resp",
};

// Standard output of a command run on the built library.
std::string run_on_library(const std::string& command) {
    std::string out;
    FILE* p = popen((command + " '" + ZRDSP_LIBRARY_FILE + "'").c_str(), "r");
    if (p == nullptr)
        return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p) != nullptr)
        out += buf;
    pclose(p);
    return out;
}

// Defined dynamic symbols of the library, without version suffixes, are
// functions named zrdsp_* (the version node, an absolute symbol, aside), and
// the public header declares the same.
TEST(Exports, ExactlyTheSeventeenEntryPointsAsDeclared) {
    std::set<std::string> names;
    std::istringstream in(run_on_library("nm -D --defined-only"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (!(fields >> address >> type >> name) || type == "A")
            continue;
        EXPECT_TRUE(type == "T" || type == "W" || type == "i") << "not a function: " << line;
        names.insert(name.substr(0, name.find('@')));
    }
    EXPECT_EQ(names, kEntryPoints);
    std::ifstream f(ZRDSP_HEADER_FILE);
    ASSERT_TRUE(f.good()) << ZRDSP_HEADER_FILE;
    const std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const std::regex decl(R"(ZRDSP_API\s+\w+\s+ZRDSP_CALL\s+(\w+)\s*\()");
    std::set<std::string> declared;
    for (std::sregex_iterator it(text.begin(), text.end(), decl), end; it != end; ++it)
        declared.insert((*it)[1]);
    EXPECT_EQ(declared, kEntryPoints);
}

// The soname carries the header's major version, the file name its whole
// version, and nothing but the standard runtime is linked.
TEST(Exports, SonameAndNeededLibraries) {
    const std::string dyn = run_on_library("readelf -d");
    EXPECT_EQ(ZRDSP_VERSION_MAJOR, 1);
    EXPECT_NE(
        dyn.find("Library soname: [libzrdsp_32.so." + std::to_string(ZRDSP_VERSION_MAJOR) + "]"),
        std::string::npos)
        << dyn;
    const std::string file = ZRDSP_LIBRARY_FILE;
    EXPECT_EQ(file.substr(file.size() - std::strlen(ZRDSP_VERSION_STRING)), ZRDSP_VERSION_STRING);
    EXPECT_EQ(ZRDSP_VERSION,
              ZRDSP_VERSION_MAJOR * 10000 + ZRDSP_VERSION_MINOR * 100 + ZRDSP_VERSION_PATCH);
    const std::regex needed(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
    const std::regex allowed(
        R"(lib(stdc\+\+|m|gcc_s|c)\.so\.\d+|ld-linux-x86-64\.so\.2|lib(asan|ubsan|tsan)\.so\.\d+)");
    int count = 0;
    for (std::sregex_iterator it(dyn.begin(), dyn.end(), needed), end; it != end; ++it, ++count)
        EXPECT_TRUE(std::regex_match((*it)[1].str(), allowed)) << "links " << (*it)[1];
    EXPECT_GT(count, 0) << dyn;
}

} // namespace

// Search order of the library loader. Each ctest entry runs this program in
// one situation, named by ZR_SEARCH_CASE (see CMakeLists.txt): the loader's
// own search path, the environment variable winning over it, the program's
// folder (with an application object), and nowhere (LibraryError naming the file).
#include "driver/driver_library.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string searchCase = std::getenv("ZR_SEARCH_CASE") ? std::getenv("ZR_SEARCH_CASE") : "";

} // namespace

TEST(LibrarySearch, SituationMatchesItsExpectation) {
    zr::DriverLibrary lib;
    int32_t instr = 0;
    if (searchCase == "loader-path" || searchCase == "app-dir") {
        ASSERT_EQ(lib.init("VXI::192", 1, 1, &instr), 0);
        EXPECT_NE(instr, 0);
        if (searchCase == "app-dir")
            EXPECT_EQ(QFileInfo(lib.loadedFile()).absolutePath(),
                      QCoreApplication::applicationDirPath());
        else
            EXPECT_EQ(lib.loadedFile(), zr::driverLibraryFileName());
    } else if (searchCase == "env-wins") {
        ASSERT_EQ(lib.init("VXI::192", 1, 1, &instr), 0);
        EXPECT_EQ(instr, 42); // the partial library's answer, not the stand-in's
    } else if (searchCase == "nowhere") {
        try {
            lib.close(0);
            FAIL() << "no LibraryError";
        } catch (const zr::LibraryError& e) {
            EXPECT_NE(std::string(e.what()).find("libzrq7010_32.so"), std::string::npos)
                << e.what();
        }
    } else {
        FAIL() << "unknown ZR_SEARCH_CASE " << searchCase;
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (searchCase == "app-dir") {
        QCoreApplication app(argc, argv);
        return RUN_ALL_TESTS();
    }
    return RUN_ALL_TESTS();
}

// Search order of the library loader. Each ctest entry runs this program in
// one situation, named by ZR_SEARCH_CASE:
//   loader-path  LD_LIBRARY_PATH holds the stand-in's folder, no application
//                object: the loader's own search finds it;
//   env-wins     as loader-path, but ZRQ7010_DRIVER names the partial library:
//                that one is used;
//   app-dir      no search path, an application object exists, and the program
//                lies in the stand-in's folder: found in the program's folder;
//   nowhere      no search path, no application object: LibraryError naming
//                the file.
#include "driver/driver_library.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string searchCase() {
    const char* c = std::getenv("ZR_SEARCH_CASE");
    return c ? c : "";
}

bool standInAnswers(zr::DriverLibrary& lib) {
    int32_t instr = 0;
    if (lib.init("VXI::192", 1, 1, &instr) != 0 || instr == 0) {
        return false;
    }
    return lib.close(instr) == 0;
}

} // namespace

TEST(LibrarySearch, SituationMatchesItsExpectation) {
    const std::string c = searchCase();
    ASSERT_FALSE(c.empty()) << "ZR_SEARCH_CASE not set";
    zr::DriverLibrary lib;
    if (c == "loader-path") {
        ASSERT_EQ(QCoreApplication::instance(), nullptr);
        EXPECT_TRUE(standInAnswers(lib));
        EXPECT_EQ(lib.loadedFile(), zr::driverLibraryFileName());
    } else if (c == "env-wins") {
        int32_t instr = 0;
        ASSERT_EQ(lib.init("VXI::192", 1, 1, &instr), 0);
        EXPECT_EQ(instr, 42); // the partial library's answer, not the stand-in's
        EXPECT_THROW(lib.meas_start(instr), zr::LibraryError);
    } else if (c == "app-dir") {
        ASSERT_NE(QCoreApplication::instance(), nullptr);
        EXPECT_TRUE(standInAnswers(lib));
        EXPECT_EQ(QFileInfo(lib.loadedFile()).absolutePath(),
                  QCoreApplication::applicationDirPath());
    } else if (c == "nowhere") {
        ASSERT_EQ(QCoreApplication::instance(), nullptr);
        try {
            lib.close(0);
            FAIL() << "no LibraryError";
        } catch (const zr::LibraryError& e) {
            EXPECT_NE(std::string(e.what()).find("libzrq7010_32.so"), std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(lib.isLoaded());
    } else {
        FAIL() << "unknown ZR_SEARCH_CASE " << c;
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (searchCase() == "app-dir") {
        QCoreApplication app(argc, argv);
        return RUN_ALL_TESTS();
    }
    return RUN_ALL_TESTS();
}

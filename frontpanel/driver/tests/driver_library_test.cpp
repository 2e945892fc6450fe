// DriverLibrary against the stand-in driver and against a library that lacks
// most functions: lazy loading, binding at first use, error messages.
#include "binding_test_util.h"
#include "driver/driver_library.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using zrtest::ScopedEnv;

namespace {

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const zr::LibraryError& e) {
        return e.what();
    }
    return "(no LibraryError)";
}

} // namespace

TEST(DriverLibrary, NothingIsLoadedBeforeTheFirstCallAndAMissingFileIsNamed) {
    ScopedEnv env("ZRQ7010_DRIVER", "/nonexistent/dir/libzrq7010_32.so");
    std::unique_ptr<zr::Instrument> inst = zr::makeDriverLibrary();
    auto* lib = dynamic_cast<zr::DriverLibrary*>(inst.get());
    ASSERT_NE(lib, nullptr);
    EXPECT_FALSE(lib->isLoaded());
    EXPECT_NE(errorOf([&] { lib->close(0); }).find("/nonexistent/dir/libzrq7010_32.so"),
              std::string::npos);
    EXPECT_FALSE(lib->isLoaded());
    EXPECT_NE(errorOf([&] { lib->meas_start(0); }).find("/nonexistent/dir"), std::string::npos);
}

// Every function's arguments are compared with the driver's journal in fake_instrument_test.cpp.
TEST(DriverLibrary, EnvironmentVariableNamesTheLibraryAndValuesComeBack) {
    ScopedEnv env("ZRQ7010_DRIVER", ZR_STANDIN_DRIVER);
    zr::DriverLibrary lib;
    int32_t instr = 0;
    ASSERT_EQ(lib.init("VXI::192", 1, 1, &instr), 0);
    EXPECT_EQ(lib.loadedFile().toStdString(), ZR_STANDIN_DRIVER);
    std::vector<float> data(128, -9.0f);
    int16_t overload = -1;
    EXPECT_EQ(lib.meas_start(instr), 0);
    EXPECT_EQ(lib.read(instr, data.data(), 128, &overload), 0);
    EXPECT_EQ(overload, 0);
    EXPECT_NE(data[0], -9.0f);
    EXPECT_EQ(lib.close(instr), 0);
}

TEST(DriverLibrary, MissingFunctionThrowsAtItsFirstUseOnly) {
    ScopedEnv env("ZRQ7010_DRIVER", ZR_PARTIAL_DRIVER);
    zr::DriverLibrary lib;
    int32_t instr = 0;
    ASSERT_EQ(lib.init("anything", 1, 1, &instr), 0);
    EXPECT_EQ(instr, 42);
    float data[4];
    int16_t overload = 0;
    const std::string msg = errorOf([&] { lib.read(instr, data, 4, &overload); });
    EXPECT_NE(msg.find("zrq7010_read"), std::string::npos) << msg;
    EXPECT_NE(msg.find(ZR_PARTIAL_DRIVER), std::string::npos) << msg;
    EXPECT_EQ(lib.close(instr), 0); // the functions that exist keep working
}

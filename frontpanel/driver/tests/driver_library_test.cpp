// DriverLibrary against the stand-in driver and against a library that lacks
// most functions: lazy loading, binding at first use, error messages.
#include "binding_test_util.h"
#include "driver/driver_library.h"

#include <gtest/gtest.h>

#include <cstring>
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

TEST(DriverLibrary, ConstructionLoadsNothing) {
    ScopedEnv env("ZRQ7010_DRIVER", "/nonexistent/libzrq7010_32.so");
    zr::DriverLibrary lib;
    EXPECT_FALSE(lib.isLoaded());
    EXPECT_TRUE(lib.loadedFile().isEmpty());
}

TEST(DriverLibrary, EnvironmentVariableNamesTheLibrary) {
    ScopedEnv env("ZRQ7010_DRIVER", ZR_STANDIN_DRIVER);
    zr::DriverLibrary lib;
    int32_t instr = 0;
    ASSERT_EQ(lib.init("VXI::192", 1, 1, &instr), 0);
    EXPECT_TRUE(lib.isLoaded());
    EXPECT_EQ(lib.loadedFile().toStdString(), ZR_STANDIN_DRIVER);
    EXPECT_NE(instr, 0);

    // Arguments and out-parameters reach the module and come back (every function's
    // arguments are compared with the driver's journal in fake_instrument_test.cpp).
    std::vector<float> data(128, -9.0f);
    int16_t overload = -1;
    EXPECT_EQ(lib.meas_start(instr), 0);
    EXPECT_EQ(lib.read(instr, data.data(), 128, &overload), 0);
    EXPECT_EQ(overload, 0);
    EXPECT_NE(data[0], -9.0f);
    EXPECT_EQ(lib.diag_reg(instr, 5, 77), 0);
    int16_t v = 0;
    EXPECT_EQ(lib.diag_reg_get(instr, 5, &v), 0);
    EXPECT_EQ(v, 77);
    EXPECT_EQ(lib.close(instr), 0);

    int32_t bad = 5;
    const int32_t status = lib.init("VXI::9", 1, 1, &bad);
    EXPECT_NE(status, 0);
    char text[zr::kDriverTextSize];
    std::memset(text, 0, sizeof text);
    EXPECT_EQ(lib.error_message(bad, status, text), 0);
    EXPECT_STREQ(text, "No module answers at VXI address 9");
}

TEST(DriverLibrary, MissingFileThrowsNamingIt) {
    ScopedEnv env("ZRQ7010_DRIVER", "/nonexistent/dir/libzrq7010_32.so");
    zr::DriverLibrary lib;
    const std::string msg = errorOf([&] { lib.close(0); });
    EXPECT_NE(msg.find("/nonexistent/dir/libzrq7010_32.so"), std::string::npos) << msg;
    EXPECT_FALSE(lib.isLoaded());
    // Every later call fails the same way; nothing is half-loaded.
    EXPECT_NE(errorOf([&] { lib.meas_start(0); }).find("/nonexistent/dir"), std::string::npos);
}

TEST(DriverLibrary, MissingFunctionThrowsAtItsFirstUseOnly) {
    ScopedEnv env("ZRQ7010_DRIVER", ZR_PARTIAL_DRIVER);
    zr::DriverLibrary lib;
    int32_t instr = 0;
    ASSERT_EQ(lib.init("anything", 1, 1, &instr), 0); // loads; init exists
    EXPECT_EQ(instr, 42);
    float data[4];
    int16_t overload = 0;
    const std::string msg = errorOf([&] { lib.read(instr, data, 4, &overload); });
    EXPECT_NE(msg.find("zrq7010_read"), std::string::npos) << msg;
    EXPECT_NE(msg.find(ZR_PARTIAL_DRIVER), std::string::npos) << msg;
    EXPECT_NE(errorOf([&] { lib.meas_start(instr); }).find("zrq7010_meas_start"),
              std::string::npos);
    // The functions that exist keep working.
    EXPECT_EQ(lib.close(instr), 0);
    EXPECT_EQ(lib.close(7), -1);
}

TEST(DriverLibrary, FactoryGivesALazyDriverLibrary) {
    ScopedEnv env("ZRQ7010_DRIVER", "/nonexistent/x.so");
    std::unique_ptr<zr::Instrument> inst = zr::makeDriverLibrary();
    ASSERT_NE(dynamic_cast<zr::DriverLibrary*>(inst.get()), nullptr);
    EXPECT_THROW(inst->reset(0), zr::LibraryError);
}

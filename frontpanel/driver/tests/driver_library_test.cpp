// DriverLibrary without a library file and against a library that lacks most
// functions: lazy loading, binding at first use, error messages (calls into the
// stand-in driver are compared with its journal in fake_instrument_test.cpp).
#include "binding_test_util.h"
#include "driver/driver_library.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using zrtest::errorOf;
using zrtest::ScopedEnv;

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

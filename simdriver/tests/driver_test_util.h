// Opens the stand-in driver with dlopen and binds its functions by name with
// dlsym, as the front panel does; nothing links the library.
#pragma once

#include "zrq7010_32.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace zrtest {

inline void* bound(const char* name) {
    static void* const lib = dlopen(ZRQ7010_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    void* p = lib != nullptr ? dlsym(lib, name) : nullptr;
    if (p == nullptr) {
        throw std::runtime_error(std::string("missing ") + name);
    }
    return p;
}

// The driver function `name`, bound by name.
#define ZRQ(name) (reinterpret_cast<decltype(&::zrq7010_##name)>(zrtest::bound("zrq7010_" #name)))

// A freshly reset session on the default module, closed at the end of the test.
class Session : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ZRQ(init)("VXI::192", 1, 1, &instr), ZRQ7010_SUCCESS);
        ASSERT_NE(instr, 0);
    }
    void TearDown() override { ZRQ(close)(instr); }
    // Starts a measurement and reads one block of `count` samples (pairs when complex).
    std::vector<float> acquire(int32_t count, int16_t* overload = nullptr, bool complex = false) {
        std::vector<float> data(static_cast<std::size_t>(count) * (complex ? 2 : 1), NAN);
        int16_t ovl = -1;
        EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
        EXPECT_EQ(ZRQ(read)(instr, data.data(), count, &ovl), ZRQ7010_SUCCESS);
        if (overload != nullptr) {
            *overload = ovl;
        }
        return data;
    }
    int32_t instr = 0;
};

// Amplitude of the component at `cycles` cycles per block (single DFT bin).
inline double binAmplitude(const std::vector<float>& x, double cycles) {
    std::complex<double> s = 0;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        s += static_cast<double>(x[i]) *
             std::polar(1.0, -2.0 * M_PI * cycles * static_cast<double>(i) / n);
    }
    return 2.0 * std::abs(s) / n;
}

} // namespace zrtest

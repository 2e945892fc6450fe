// Opens the stand-in driver with dlopen and binds its functions by name with
// dlsym, as the front panel does; nothing links the library.
#pragma once

#include "zrq7010_32.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zrtest {

class DriverHandle {
public:
    DriverHandle() {
        handle_ = dlopen(ZRQ7010_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            throw std::runtime_error(dlerror());
        }
    }
    ~DriverHandle() { dlclose(handle_); }
    DriverHandle(const DriverHandle&) = delete;
    DriverHandle& operator=(const DriverHandle&) = delete;

    void* symbol(const char* name) const { return dlsym(handle_, name); }

private:
    void* handle_ = nullptr;
};

inline DriverHandle& driver() {
    static DriverHandle d;
    return d;
}

// The driver function `name`, bound by name.
#define ZRQ(name) (reinterpret_cast<decltype(&::zrq7010_##name)>(zrtest::bound("zrq7010_" #name)))

inline void* bound(const char* name) {
    void* p = driver().symbol(name);
    if (p == nullptr) {
        throw std::runtime_error(std::string("missing ") + name);
    }
    return p;
}

// Opens a freshly reset session on the default module.
inline int32_t openDefault() {
    int32_t instr = 0;
    const int32_t status = ZRQ(init)("VXI::192", 1, 1, &instr);
    EXPECT_EQ(status, ZRQ7010_SUCCESS);
    EXPECT_NE(instr, 0);
    return instr;
}

// Starts a measurement and reads one block of `count` samples.
inline std::vector<float> acquire(int32_t instr, int32_t count, int16_t* overload = nullptr,
                                  bool complex = false) {
    std::vector<float> data(static_cast<std::size_t>(count) * (complex ? 2 : 1), NAN);
    int16_t ovl = -1;
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), count, &ovl), ZRQ7010_SUCCESS);
    if (overload != nullptr) {
        *overload = ovl;
    }
    return data;
}

inline double mean(const std::vector<float>& x) {
    double s = 0;
    for (float v : x) {
        s += v;
    }
    return s / static_cast<double>(x.size());
}

// Rising crossings of the block's mean value.
inline int risingCrossings(const std::vector<float>& x) {
    const double m = mean(x);
    int n = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] - m < 0 && x[i] - m >= 0) {
            ++n;
        }
    }
    return n;
}

// Amplitude of the component at `cycles` cycles per block (single DFT bin).
inline double binAmplitude(const std::vector<float>& x, double cycles) {
    std::complex<double> s = 0;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        s += static_cast<double>(x[i]) * std::polar(1.0, -2.0 * M_PI * cycles * i / n);
    }
    return 2.0 * std::abs(s) / n;
}

inline std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace zrtest

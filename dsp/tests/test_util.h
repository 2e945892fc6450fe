// Shared helpers of the signal-processing library tests: the entry points of
// either precision, random blocks and bitwise comparison.
#ifndef ZRDSP_TEST_UTIL_H
#define ZRDSP_TEST_UTIL_H

#include "zrdsp_32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <type_traits>
#include <vector>

namespace zr::test {

// Both precisions, for typed tests, and the library's entry points of each.
using Precisions = ::testing::Types<float, double>;
template <typename T, typename F, typename D> constexpr auto pick(F f, D d) {
    if constexpr (std::is_same_v<T, float>)
        return f;
    else
        return d;
}
template <typename T> struct Lib {
    static constexpr auto fft = pick<T>(zrdsp_fft, zrdsp_fft_double);
    static constexpr auto fft_real = pick<T>(zrdsp_fft_real, zrdsp_fft_real_double);
    static constexpr auto window = pick<T>(zrdsp_window, zrdsp_window_double);
    static constexpr auto spectrum = pick<T>(zrdsp_spectrum, zrdsp_spectrum_double);
    static constexpr auto cspectrum = pick<T>(zrdsp_cspectrum, zrdsp_cspectrum_double);
    static constexpr auto fir = pick<T>(zrdsp_fir, zrdsp_fir_double);
    static constexpr auto resample = pick<T>(zrdsp_resample, zrdsp_resample_double);
};

// Uniform values in [-1, 1) from a fixed seed, so every run sees the same block.
template <typename T, typename Count, typename Seed>
std::vector<T> random_block(Count n, Seed seed) {
    std::mt19937 gen(static_cast<std::uint32_t>(seed));
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<T> v(static_cast<std::size_t>(n));
    for (auto& x : v)
        x = static_cast<T>(dist(gen));
    return v;
}

// Index of the first element whose bit pattern differs, or -1 when both arrays are identical.
template <typename T, typename Count>
long first_bit_difference(const T* a, const T* b, Count count) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        if (std::memcmp(a + i, b + i, sizeof(T)) != 0)
            return static_cast<long>(i);
    return -1;
}

// A count or position the library takes as a signed integer, as a container size.
constexpr std::size_t sz(long long n) {
    return static_cast<std::size_t>(n);
}

} // namespace zr::test

#endif

// Shared helpers of the signal-processing library tests: random blocks,
// relative error and the comparison of two arrays bit for bit.
#ifndef ZRDSP_TEST_UTIL_H
#define ZRDSP_TEST_UTIL_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace zr::test {

// Both precisions, for typed tests.
using Precisions = ::testing::Types<float, double>;

// Uniform values in [-1, 1) from a fixed seed, so every run sees the same block.
// Counts and seeds are taken as any integer, so callers need no casts.
template <typename T, typename Count, typename Seed>
std::vector<T> random_block(Count n, Seed seed) {
    std::mt19937 gen(static_cast<std::uint32_t>(seed));
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<T> v(static_cast<std::size_t>(n));
    for (auto& x : v)
        x = static_cast<T>(dist(gen));
    return v;
}

// RMS error of `got` against `want` over the shorter length, relative to the
// RMS value of `want` (absolute when `want` is all zeros), computed in double.
template <typename A, typename B>
double relative_rms_error(const std::vector<A>& got, const std::vector<B>& want) {
    const std::size_t n = std::min(got.size(), want.size());
    double err = 0.0, ref = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = static_cast<double>(want[i]);
        const double d = static_cast<double>(got[i]) - w;
        err += d * d;
        ref += w * w;
    }
    return std::sqrt(ref > 0.0 ? err / ref
                               : err / static_cast<double>(std::max<std::size_t>(n, 1)));
}

// Index of the first element whose bit pattern differs, or -1 when both arrays are identical.
template <typename T, typename Count>
long first_bit_difference(const T* a, const T* b, Count count) {
    const auto n = static_cast<std::size_t>(count);
    for (std::size_t i = 0; i < n; ++i)
        if (std::memcmp(a + i, b + i, sizeof(T)) != 0)
            return static_cast<long>(i);
    return -1;
}

// A count or position the library takes as a signed integer, as a container size.
constexpr std::size_t sz(long long n) {
    return static_cast<std::size_t>(n);
}

// Machine epsilon of the element type, as a double.
template <typename T> constexpr double eps() {
    return static_cast<double>(std::numeric_limits<T>::epsilon());
}

} // namespace zr::test

#endif

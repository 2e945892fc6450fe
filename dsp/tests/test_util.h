// Shared helpers of the signal-processing library tests: random blocks,
// error measures and the comparison of two arrays bit for bit.
#ifndef ZRDSP_TEST_UTIL_H
#define ZRDSP_TEST_UTIL_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace zr::test {

// Uniform values in [-1, 1) from a fixed seed, so every run sees the same block.
template <typename T> std::vector<T> random_block(std::size_t n, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<T> v(n);
    for (auto& x : v)
        x = static_cast<T>(dist(gen));
    return v;
}

// Root-mean-square of the difference, computed in double.
template <typename A, typename B> double rms_error(const A* a, const B* b, std::size_t n) {
    if (n == 0)
        return 0.0;
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = static_cast<double>(a[i]) - static_cast<double>(b[i]);
        s += d * d;
    }
    return std::sqrt(s / static_cast<double>(n));
}

// Root-mean-square value of an array, computed in double.
template <typename A> double rms(const A* a, std::size_t n) {
    if (n == 0)
        return 0.0;
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<double>(a[i]) * static_cast<double>(a[i]);
    return std::sqrt(s / static_cast<double>(n));
}

// RMS error of `got` against `want`, relative to the RMS value of `want`
// (absolute when `want` is all zeros).
template <typename A, typename B>
double relative_rms_error(const A* got, const B* want, std::size_t n) {
    const double ref = rms(want, n);
    const double err = rms_error(got, want, n);
    return ref > 0.0 ? err / ref : err;
}

template <typename A, typename B>
double relative_rms_error(const std::vector<A>& got, const std::vector<B>& want) {
    return relative_rms_error(got.data(), want.data(),
                              got.size() < want.size() ? got.size() : want.size());
}

// Index of the first element whose bit pattern differs, or -1 when both arrays are identical.
template <typename T> long first_bit_difference(const T* a, const T* b, std::size_t n) {
    if (std::memcmp(a, b, n * sizeof(T)) == 0)
        return -1;
    for (std::size_t i = 0; i < n; ++i)
        if (std::memcmp(a + i, b + i, sizeof(T)) != 0)
            return static_cast<long>(i);
    return -1;
}

// Machine epsilon of the element type, as a double.
template <typename T> constexpr double eps() {
    return static_cast<double>(std::numeric_limits<T>::epsilon());
}

} // namespace zr::test

#endif

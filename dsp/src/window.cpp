// Sum-of-cosines analysis windows, scaled to a requested mean or RMS value.
#include "zrdsp_32.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

struct Coefficients {
    const double* c;
    int terms;
};

constexpr double kUniform[] = {1.0};
constexpr double kHann[] = {1.0, 1.0};
constexpr double kGaussTop[] = {1.0, 1.45875529058, 0.543087184, 0.08816718498, 0.00390252806};
constexpr double kFlatTop[] = {1.0, 1.941109216, 1.308381824, 0.40400112, 0.035108828};

// Type codes 1 Hann, 2 Gauss top, 3 Flat top; every other code is uniform.
Coefficients coefficients_for(std::int16_t type) {
    switch (type) {
    case 1:
        return {kHann, 2};
    case 2:
        return {kGaussTop, 5};
    case 3:
        return {kFlatTop, 5};
    default:
        return {kUniform, 1};
    }
}

// Fills window[0 .. count-1] with sum_k c_k cos(2 pi k (i - count/2) / count),
// the peak at count/2, then scales it to mean `value` (flag 0) or RMS `value`
// (flag non-zero). The angle of term k at offset j is (k*j) * delta.
template <typename T>
void make_window(T* window, std::int32_t count, std::int16_t type, std::int16_t flag, T value) {
    if (window == nullptr || count < 2 || count % 2 != 0)
        return;
    const Coefficients co = coefficients_for(type);
    const std::size_t n = static_cast<std::size_t>(count);
    const std::size_t h = n / 2;
    const double delta = 6.283185307179586 / static_cast<double>(count);
    const double pi = 3.141592653589793;

    double a = 0.0; // sum of v_j, j = 0 .. h-1
    double b = 0.0; // sum of v_j^2
    double v0 = 0.0;
    for (std::size_t j = 0; j < h; ++j) {
        double v = 0.0;
        for (int k = 0; k < co.terms; ++k)
            v += co.c[k] * std::cos(static_cast<double>(static_cast<std::uint64_t>(k) * j) * delta);
        if (j == 0)
            v0 = v;
        window[h + j] = static_cast<T>(v);
        window[h - j] = static_cast<T>(v);
        a += v;
        b += v * v;
    }
    double edge = 0.0;
    for (int k = 0; k < co.terms; ++k)
        edge += co.c[k] * std::cos(k * pi);
    window[0] = static_cast<T>(edge);

    const double w0 = window[0];
    const double s1 = 2.0 * a - v0 + w0;
    const double s2 = 2.0 * b - v0 * v0 + w0 * w0;
    const double g = flag != 0
                         ? static_cast<double>(value) / std::sqrt(s2 / static_cast<double>(count))
                         : static_cast<double>(count) * static_cast<double>(value) / s1;
    for (std::size_t i = 0; i < n; ++i)
        window[i] = static_cast<T>(window[i] * g);
}

} // namespace

extern "C" {

ZRDSP_API void ZRDSP_CALL zrdsp_window(float* window, int32_t count, int16_t type, int16_t flag,
                                       float value) {
    make_window(window, count, type, flag, value);
}

ZRDSP_API void ZRDSP_CALL zrdsp_window_double(double* window, int32_t count, int16_t type,
                                              int16_t flag, double value) {
    make_window(window, count, type, flag, value);
}

} // extern "C"

// One-sided spectra of real blocks and two-sided spectra of complex blocks.
#include "zrdsp_32.h"

#include "fft_impl.hpp"

#include <cmath>
#include <cstdlib>

namespace {

// Scale mode applied in place: 0 magnitude, 2 decibels (exact 0 -> -500),
// anything else leaves the power.
template <typename T> void apply_mode(T* p, std::size_t n, std::int16_t mode) {
    if (mode == 0) {
        for (std::size_t i = 0; i < n; ++i)
            p[i] = static_cast<T>(std::sqrt(static_cast<double>(p[i])));
    } else if (mode == 2) {
        // 10/ln(10), held in the element precision.
        const double f = static_cast<T>(10.0 / std::log(10.0));
        for (std::size_t i = 0; i < n; ++i)
            p[i] = p[i] == 0 ? static_cast<T>(-500)
                             : static_cast<T>(std::log(static_cast<double>(p[i])) * f);
    }
}

template <typename T> T square(T v) {
    const double d = v;
    return static_cast<T>(d * d);
}

template <typename T>
void real_spectrum(const T* data, T* spectrum, const T* window, std::int32_t count,
                   std::int16_t mode) {
    if (data == nullptr || spectrum == nullptr || window == nullptr || count < 4 ||
        !zr::dsp::is_power_of_two(count))
        return;
    const std::size_t n = static_cast<std::size_t>(count);
    // The block is copied before anything is written, so spectrum may alias data.
    T* work = static_cast<T*>(std::malloc((n + 1) * sizeof(T)));
    if (work == nullptr)
        return;
    for (std::size_t i = 0; i < n; ++i)
        work[i] = static_cast<T>(static_cast<double>(data[i]) * window[i]);
    zr::dsp::fft_real(work, n, 1);
    const std::size_t half = n / 2;
    spectrum[0] = square(work[0]);
    for (std::size_t k = 1; k < half; ++k) {
        const double re = work[2 * k];
        const double im = work[2 * k + 1];
        spectrum[k] = static_cast<T>(re * re + im * im);
    }
    spectrum[half] = square(work[1]);
    std::free(work);
    apply_mode(spectrum, half + 1, mode);
}

template <typename T>
void complex_spectrum(const T* data, T* spectrum, const T* window, std::int32_t count,
                      std::int16_t mode) {
    if (data == nullptr || spectrum == nullptr || window == nullptr ||
        !zr::dsp::is_power_of_two(count))
        return;
    const std::size_t n = static_cast<std::size_t>(count);
    T* work = static_cast<T*>(std::malloc(2 * n * sizeof(T)));
    if (work == nullptr)
        return;
    for (std::size_t k = 0; k < n; ++k) {
        const double w = window[k];
        work[2 * k] = static_cast<T>(w * data[2 * k]);
        work[2 * k + 1] = static_cast<T>(w * data[2 * k + 1]);
    }
    zr::dsp::fft_complex(work, n, 1);
    // Bins 0 .. n/2-1 go to n/2 .. n-1, bins n/2 .. n-1 to 0 .. n/2-1
    // (index (n/2 + k) mod n; with one point the single bin stays at 0).
    const std::size_t half = n / 2;
    for (std::size_t k = 0; k < n; ++k) {
        const double re = work[2 * k];
        const double im = work[2 * k + 1];
        const std::size_t at = k < n - half ? k + half : k - (n - half);
        spectrum[at] = static_cast<T>(re * re + im * im);
    }
    std::free(work);
    apply_mode(spectrum, n, mode);
}

} // namespace

extern "C" {

ZRDSP_API void ZRDSP_CALL zrdsp_spectrum(const float* data, float* spectrum, const float* window,
                                         int32_t count, int16_t mode) {
    real_spectrum(data, spectrum, window, count, mode);
}

ZRDSP_API void ZRDSP_CALL zrdsp_spectrum_double(const double* data, double* spectrum,
                                                const double* window, int32_t count, int16_t mode) {
    real_spectrum(data, spectrum, window, count, mode);
}

ZRDSP_API void ZRDSP_CALL zrdsp_cspectrum(const float* data, float* spectrum, const float* window,
                                          int32_t count, int16_t mode) {
    complex_spectrum(data, spectrum, window, count, mode);
}

ZRDSP_API void ZRDSP_CALL zrdsp_cspectrum_double(const double* data, double* spectrum,
                                                 const double* window, int32_t count,
                                                 int16_t mode) {
    complex_spectrum(data, spectrum, window, count, mode);
}

} // extern "C"

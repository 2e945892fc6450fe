// Exported complex and real FFT entry points.
#include "zrdsp_32.h"

#include "fft_impl.hpp"

namespace {

template <typename T> void complex_entry(T* data, std::int32_t count, std::int16_t direction) {
    if (data == nullptr || !zr::dsp::is_power_of_two(count))
        return;
    zr::dsp::fft_complex(data, static_cast<std::size_t>(count), direction);
}

template <typename T> void real_entry(T* data, std::int32_t count, std::int16_t direction) {
    if (data == nullptr || count < 4 || !zr::dsp::is_power_of_two(count))
        return;
    zr::dsp::fft_real(data, static_cast<std::size_t>(count), direction);
}

} // namespace

extern "C" {

ZRDSP_API void ZRDSP_CALL zrdsp_fft(float* data, int32_t count, int16_t direction) {
    complex_entry(data, count, direction);
}

ZRDSP_API void ZRDSP_CALL zrdsp_fft_double(double* data, int32_t count, int16_t direction) {
    complex_entry(data, count, direction);
}

ZRDSP_API void ZRDSP_CALL zrdsp_fft_real(float* data, int32_t count, int16_t direction) {
    real_entry(data, count, direction);
}

ZRDSP_API void ZRDSP_CALL zrdsp_fft_real_double(double* data, int32_t count, int16_t direction) {
    real_entry(data, count, direction);
}

} // extern "C"

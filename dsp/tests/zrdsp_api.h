// Overloads that pick the float or double entry point of libzrdsp_32 by
// element type, so typed tests run the same code for both precisions.
#ifndef ZRDSP_TEST_API_H
#define ZRDSP_TEST_API_H

#include "zrdsp_32.h"

namespace zr::test {

inline void fft(float* d, int32_t n, int16_t dir) {
    zrdsp_fft(d, n, dir);
}
inline void fft(double* d, int32_t n, int16_t dir) {
    zrdsp_fft_double(d, n, dir);
}
inline void fft_real(float* d, int32_t n, int16_t dir) {
    zrdsp_fft_real(d, n, dir);
}
inline void fft_real(double* d, int32_t n, int16_t dir) {
    zrdsp_fft_real_double(d, n, dir);
}
inline void window(float* w, int32_t n, int16_t type, int16_t flag, float value) {
    zrdsp_window(w, n, type, flag, value);
}
inline void window(double* w, int32_t n, int16_t type, int16_t flag, double value) {
    zrdsp_window_double(w, n, type, flag, value);
}
inline void spectrum(const float* d, float* s, const float* w, int32_t n, int16_t mode) {
    zrdsp_spectrum(d, s, w, n, mode);
}
inline void spectrum(const double* d, double* s, const double* w, int32_t n, int16_t mode) {
    zrdsp_spectrum_double(d, s, w, n, mode);
}
inline void cspectrum(const float* d, float* s, const float* w, int32_t n, int16_t mode) {
    zrdsp_cspectrum(d, s, w, n, mode);
}
inline void cspectrum(const double* d, double* s, const double* w, int32_t n, int16_t mode) {
    zrdsp_cspectrum_double(d, s, w, n, mode);
}
inline void fir(const float* in, float* out, int32_t n, const float* taps, int32_t nt, float* st) {
    zrdsp_fir(in, out, n, taps, nt, st);
}
inline void fir(const double* in, double* out, int32_t n, const double* taps, int32_t nt,
                double* st) {
    zrdsp_fir_double(in, out, n, taps, nt, st);
}
inline void resample(const float* in, int32_t n, float* out, int32_t maxout, int32_t* produced,
                     float* position, float step, float* history) {
    zrdsp_resample(in, n, out, maxout, produced, position, step, history);
}
inline void resample(const double* in, int32_t n, double* out, int32_t maxout, int32_t* produced,
                     double* position, double step, double* history) {
    zrdsp_resample_double(in, n, out, maxout, produced, position, step, history);
}

} // namespace zr::test

#endif

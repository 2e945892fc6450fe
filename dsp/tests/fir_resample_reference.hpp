// Plain, literal implementations of the FIR and resampling entry points of
// libzrdsp_32, written loop for loop from their definitions with no regard
// for speed (float and double where the library has both). The library must
// agree with them bit for bit, so that any later speed work on the library
// can be checked against them.
#ifndef ZRDSP_FIR_RESAMPLE_REFERENCE_HPP
#define ZRDSP_FIR_RESAMPLE_REFERENCE_HPP

#include <cstdint>

namespace zr::ref {

// Block FIR filter; output must not alias input here.
template <typename T>
void fir(const T* input, T* output, int32_t count, const T* taps, int32_t ntaps, T* state);

// Least-squares design; uses the library's inverse real transform.
double fir_synth(const double* desired, const double* weights, int32_t npts, double delay,
                 double* taps, int32_t ntaps);

void fir_resp(double* response, int32_t nfreq, double f1, double f2, const double* taps,
              int32_t ntaps);

template <typename T>
void resample(const T* input, int32_t count, T* output, int32_t maxout, int32_t* produced,
              T* position, T step, T* history);

void resamp_resp(double* response, int32_t count, double f1, double f2);

// Entry m of the reference kernel table, K(m/380), m = 0 .. 2090.
float kernel_entry(int m);

} // namespace zr::ref

#endif

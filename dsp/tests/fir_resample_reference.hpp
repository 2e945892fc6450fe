// Plain, literal implementations of the FIR and resampling entry points of
// libzrdsp_32, written loop for loop from their definitions with no
// regard for speed. The library must agree with them bit for bit, so that
// any later speed work on the library can be checked against them.
#ifndef ZRDSP_FIR_RESAMPLE_REFERENCE_HPP
#define ZRDSP_FIR_RESAMPLE_REFERENCE_HPP

#include <cstdint>

namespace zr::ref {

// Block FIR filter; output must not alias input here.
void fir(const float* input, float* output, int32_t count, const float* taps, int32_t ntaps,
         float* state);
void fir_double(const double* input, double* output, int32_t count, const double* taps,
                int32_t ntaps, double* state);

// Least-squares design; uses the library's inverse real transform.
double fir_synth(const double* desired, const double* weights, int32_t npts, double delay,
                 double* taps, int32_t ntaps);

void fir_resp(double* response, int32_t nfreq, double f1, double f2, const double* taps,
              int32_t ntaps);

void resample(const float* input, int32_t count, float* output, int32_t maxout, int32_t* produced,
              float* position, float step, float* history);
void resample_double(const double* input, int32_t count, double* output, int32_t maxout,
                     int32_t* produced, double* position, double step, double* history);

void resamp_resp(double* response, int32_t count, double f1, double f2);

// Entry m of the reference kernel table, K(m/380), m = 0 .. 2090.
float kernel_entry(int m);

} // namespace zr::ref

#endif

/*
 * zrdsp_32 - signal-processing library of the ZRQ7010 front panel.
 *
 * Plain C interface, usable from C and C++. Every entry point is a pure
 * computation on arrays owned by the caller; the library keeps no pointer
 * after a call returns and holds no per-caller state.
 *
 * Conventions shared by every entry point:
 *  - Counts are 32-bit signed integers; mode, type and flag arguments are
 *    16-bit signed integers (only the low 16 bits are examined).
 *  - Complex arrays are interleaved: element k occupies [2k] (real) and
 *    [2k+1] (imaginary).
 *  - Intermediate values are carried in at least double precision and
 *    rounded to the array's precision when stored. The single-precision
 *    transforms round the twiddle factors to single precision where they
 *    multiply data.
 *  - Each float entry point has a _double twin performing the same steps
 *    in the same order; only the element type differs.
 *  - Thread safety: unless stated otherwise an entry point touches only its
 *    argument arrays, so calls on different arrays may run concurrently.
 *  - Out-of-contract counts (documented per entry point) never write outside
 *    the caller's arrays: the call returns without touching the data.
 */
#ifndef ZRDSP_32_H
#define ZRDSP_32_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(ZRDSP_BUILDING)
#define ZRDSP_API __declspec(dllexport)
#else
#define ZRDSP_API __declspec(dllimport)
#endif
#define ZRDSP_CALL __stdcall
#else
#if defined(ZRDSP_BUILDING)
#define ZRDSP_API __attribute__((visibility("default")))
#else
#define ZRDSP_API
#endif
#define ZRDSP_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Transforms ------------------------------------------------------- */

/* Complex FFT in place, unnormalised (radix 2, twiddles by a recurrence with
 * two sine evaluations per stage; nothing is allocated).
 *   data      in/out: 2*count values, interleaved complex points.
 *   count     number of complex points; a power of two, >= 1 (1 leaves the
 *             data as they are). Any other count, or a null data pointer,
 *             returns without touching data.
 *   direction +1 forward (e^-2pi i kn/N), -1 inverse (e^+2pi i kn/N).
 * Forward then inverse returns count times the input. The single-precision
 * variant rounds the imaginary twiddle part to float where it multiplies
 * data; results are reproducible to the last bit on every machine. */
ZRDSP_API void ZRDSP_CALL zrdsp_fft(float* data, int32_t count, int16_t direction);
ZRDSP_API void ZRDSP_CALL zrdsp_fft_double(double* data, int32_t count, int16_t direction);

/* Real FFT in place, packed layout, unnormalised: a complex FFT of count/2
 * points followed (forward) or preceded (inverse) by a split step.
 *   data      in/out: count values. After a forward transform data[0] = X[0],
 *             data[1] = X[N/2], data[2k], data[2k+1] = Re, Im X[k],
 *             k = 1 .. N/2-1.
 *   count     number of real samples; a power of two, >= 4.
 *             Any other count, or a null data pointer, returns without
 *             touching data.
 *   direction exactly 1: forward; any other value: inverse (packed in,
 *             real samples out, scaled by count/2: forward then inverse
 *             returns count/2 times the input). */
ZRDSP_API void ZRDSP_CALL zrdsp_fft_real(float* data, int32_t count, int16_t direction);
ZRDSP_API void ZRDSP_CALL zrdsp_fft_real_double(double* data, int32_t count, int16_t direction);

/* ---- Windows ------------------------------------------------------------ */

/* Sum-of-cosines analysis window, peak at index count/2, symmetric about it;
 * index 0 holds the edge value.
 *   window    out: count values.
 *   count     even and >= 2; any other count (or a null pointer) returns
 *             without writing.
 *   type      0 Uniform, 1 Hann, 2 Gauss top, 3 Flat top; any other code
 *             gives the uniform window.
 *   flag      0: scale to mean `value`; non-zero: scale to RMS `value`.
 *   value     requested mean or RMS value. */
ZRDSP_API void ZRDSP_CALL zrdsp_window(float* window, int32_t count, int16_t type, int16_t flag,
                                       float value);
ZRDSP_API void ZRDSP_CALL zrdsp_window_double(double* window, int32_t count, int16_t type,
                                              int16_t flag, double value);

/* ---- Spectra ------------------------------------------------------------ */

/* One-sided spectrum |X[k]|^2 of the windowed real block, k = 0 .. count/2,
 * with X the forward real transform; no normalisation beyond the window.
 *   data      in: count real samples.
 *   spectrum  out: count/2 + 1 values; may be the same array as data.
 *   window    in: count weights multiplied into the data.
 *   count     a power of two, >= 4; any other count (or a null array)
 *             returns without writing.
 *   mode      0 magnitude, 2 decibels (exact 0 -> -500), other: power.
 * Allocates one work array from the heap per call (released before return);
 * if the heap cannot supply it, the call returns without writing. */
ZRDSP_API void ZRDSP_CALL zrdsp_spectrum(const float* data, float* spectrum, const float* window,
                                         int32_t count, int16_t mode);
ZRDSP_API void ZRDSP_CALL zrdsp_spectrum_double(const double* data, double* spectrum,
                                                const double* window, int32_t count, int16_t mode);

/* Two-sided spectrum |X[k]|^2 of a windowed complex block, zero frequency at
 * index count/2: bin k lands at index (count/2 + k) mod count. One heap work
 * array per call; if it cannot be had, the call returns without writing.
 *   data      in: count complex points (2*count values).
 *   spectrum  out: count values; may be the same array as data.
 *   window    in: count weights, applied to real and imaginary parts.
 *   count     a power of two, >= 1; any other count (or a null array)
 *             returns without writing.
 *   mode      as for zrdsp_spectrum. */
ZRDSP_API void ZRDSP_CALL zrdsp_cspectrum(const float* data, float* spectrum, const float* window,
                                          int32_t count, int16_t mode);
ZRDSP_API void ZRDSP_CALL zrdsp_cspectrum_double(const double* data, double* spectrum,
                                                 const double* window, int32_t count,
                                                 int16_t mode);

/* ---- FIR filtering, design and response --------------------------------- */

/* Block FIR filter with caller-held state. output[m] = sum_k taps[N-1-k] *
 * x(m-k), x(p<0) taken from the state (the previous block's last inputs).
 * Each sum is carried in double and rounded once when stored.
 *   input     in: count samples.
 *   output    out: count samples; may be the same array as input.
 *   count     number of samples, >= 0 (a negative count returns untouched).
 *             With fewer samples than taps the old history is shifted
 *             rather than read from outside the block, so any split of a
 *             signal into blocks gives the same output.
 *   taps      in: ntaps coefficients (tap ntaps-1 meets the newest sample).
 *   ntaps     >= 1; a smaller value returns untouched.
 *   state     in/out: ntaps values, oldest first; afterwards the last ntaps
 *             inputs seen. Zeros start the filter from rest.
 * Up to 256 taps no heap memory is used; longer filters take one work array
 * per call, and if the heap cannot supply it the call returns untouched.
 * A state array must not be used by two calls at once. */
ZRDSP_API void ZRDSP_CALL zrdsp_fir(const float* input, float* output, int32_t count,
                                    const float* taps, int32_t ntaps, float* state);
ZRDSP_API void ZRDSP_CALL zrdsp_fir_double(const double* input, double* output, int32_t count,
                                           const double* taps, int32_t ntaps, double* state);

/* Weighted least-squares FIR design for a complex desired response:
 * minimises sum over the grid and its mirror of
 * W_i |D_i e^{-i w_i delay} - sum_m taps[m] e^{-i w_i m}|^2, w_i = pi i/npts,
 * by two inverse real transforms and a Levinson recursion.
 *   desired   in: npts+1 complex points at frequencies i/(2*npts).
 *   weights   in: npts+1 real weights.
 *   npts      2*npts a power of two, npts >= 2.
 *   delay     delay in samples added to the desired response.
 *   taps      out: ntaps coefficients (tap m is the coefficient of delay m).
 *   ntaps     1 .. npts.
 * Returns 0 taps computed, 1 singular normal equations, 2 ntaps < 1 (nothing
 * written), 3 out-of-contract npts or a failed allocation (nothing written). */
ZRDSP_API double ZRDSP_CALL zrdsp_fir_synth(const double* desired, const double* weights,
                                            int32_t npts, double delay, double* taps,
                                            int32_t ntaps);

/* Complex response sum_m taps[m] * e^{+i 2 pi f (ntaps-1-m)} at nfreq
 * frequencies evenly spaced from f1 to f2 (cycles per sample).
 *   response  out: nfreq complex points.  nfreq 1 gives the value at f1;
 *             nfreq < 1 writes nothing; ntaps < 1 gives 0 everywhere. */
ZRDSP_API void ZRDSP_CALL zrdsp_fir_resp(double* response, int32_t nfreq, double f1, double f2,
                                         const double* taps, int32_t ntaps);

/* ---- Resampling --------------------------------------------------------- */

/* Fractional resampler with an 11-tap interpolation kernel. Output j of a
 * fresh state lies at input time position + j*step, counted from the first
 * input sample; outputs before the whole history are 0.
 *   input     in: count new samples (count < 0 is taken as 0).
 *   output    out: up to maxout values (maxout < 0 is taken as 0).
 *   produced  out: number of outputs written. The call ends when the input
 *             is exhausted or the output is full; in the second case inputs
 *             not yet consumed are not in the state.
 *   position  in/out: position of the next output (state). A non-finite
 *             position produces nothing and leaves the state untouched.
 *   step      position advance per output (> 0 and finite; otherwise the
 *             call produces nothing and leaves the state untouched).
 *   history   in/out: the last 11 inputs, index 10 newest (state); zeros
 *             and the chosen start position begin a new signal.
 * No allocation. The kernel table is built once per process, safely from
 * any thread; a state must be used by one call at a time. */
ZRDSP_API void ZRDSP_CALL zrdsp_resample(const float* input, int32_t count, float* output,
                                         int32_t maxout, int32_t* produced, float* position,
                                         float step, float* history);
ZRDSP_API void ZRDSP_CALL zrdsp_resample_double(const double* input, int32_t count,
                                                double* output, int32_t maxout,
                                                int32_t* produced, double* position, double step,
                                                double* history);

/* Frequency response of the resampling kernel at count frequencies from f1
 * to f2 (cycles per input sample): a real, signed amplitude, 1 at 0.
 * count 1 gives the value at f1; count < 1 writes nothing. */
ZRDSP_API void ZRDSP_CALL zrdsp_resamp_resp(double* response, int32_t count, double f1,
                                            double f2);

#ifdef __cplusplus
}
#endif

#endif /* ZRDSP_32_H */

/*
 * zrdsp_32 - signal-processing library of the ZRQ7010 front panel.
 *
 * Plain C interface, usable from C and C++. Every entry point is a pure
 * computation on arrays owned by the caller; the library keeps no pointer
 * after a call returns and holds no per-caller state.
 *
 * Conventions shared by every entry point:
 *  - Counts are 32-bit signed integers; mode, type and flag arguments are
 *    16-bit signed integers (only the low 16 bits are examined). The named
 *    constants below are plain integer constants for these arguments.
 *  - Direction: ZRDSP_FORWARD (+1) is the transform with e^-2pi i kn/N.
 *    Code ported from FFTW, whose forward sign is -1, must pass
 *    ZRDSP_FORWARD, not FFTW's number: -1 here is the inverse.
 *  - No transform is normalised: forward then inverse returns count (complex)
 *    or count/2 (real) times the input.
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
 *
 * Worked example: the level of a 1 V peak tone in dBm (50 ohm), read at its
 * spectrum line. The window is scaled to a sum of 6.32455532 (sqrt 40), the
 * scaling that makes the decibel spectrum a level in dBm (see "Spectrum
 * levels in dBm" below); it prints "line 64: 10.00 dBm".
 *
 *     #include <math.h>
 *     #include <stdio.h>
 *     #include <zrdsp_32.h>
 *
 *     int main(void) {
 *         enum { N = 1024 };
 *         float x[N], w[N], s[N / 2 + 1];
 *         for (int n = 0; n < N; ++n)
 *             x[n] = (float)cos(2.0 * 3.14159265358979 * 64.0 * n / N);
 *         zrdsp_window(w, N, ZRDSP_WINDOW_HANN, ZRDSP_SCALE_MEAN, 6.32455532f / N);
 *         zrdsp_spectrum(x, s, w, N, ZRDSP_DECIBELS);
 *         printf("line 64: %.2f dBm\n", s[64]);
 *         return 0;
 *     }
 */
#ifndef ZRDSP_32_H
#define ZRDSP_32_H

#include <stdint.h>

#include "zrdsp_32_version.h" /* ZRDSP_VERSION_MAJOR, _MINOR, _PATCH, _STRING */

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

/* ---- Named argument values ------------------------------------------------ */

/* direction of zrdsp_fft, zrdsp_fft_real and their _double twins */
#define ZRDSP_FORWARD 1 /* e^-2pi i kn/N (FFTW calls this sign -1) */
#define ZRDSP_INVERSE (-1)

/* mode of zrdsp_spectrum, zrdsp_cspectrum and their _double twins */
#define ZRDSP_MAGNITUDE 0 /* |X[k]| */
#define ZRDSP_POWER 1     /* |X[k]|^2 (as every code other than 0 and 2) */
#define ZRDSP_DECIBELS 2  /* 10 log10 |X[k]|^2; an exact 0 gives -500 */

/* type of zrdsp_window and zrdsp_window_double */
#define ZRDSP_WINDOW_UNIFORM 0
#define ZRDSP_WINDOW_HANN 1
#define ZRDSP_WINDOW_GAUSS_TOP 2
#define ZRDSP_WINDOW_FLAT_TOP 3

/* flag of zrdsp_window and zrdsp_window_double: what `value` prescribes */
#define ZRDSP_SCALE_MEAN 0 /* the mean of the window */
#define ZRDSP_SCALE_RMS 1  /* its root mean square (every non-zero flag) */

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
 *   direction ZRDSP_FORWARD (+1): e^-2pi i kn/N; ZRDSP_INVERSE (-1):
 *             e^+2pi i kn/N.
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
 *   direction exactly ZRDSP_FORWARD (1): forward; any other value:
 *             inverse (packed in, real samples out, scaled by count/2:
 *             forward then inverse returns count/2 times the input). */
ZRDSP_API void ZRDSP_CALL zrdsp_fft_real(float* data, int32_t count, int16_t direction);
ZRDSP_API void ZRDSP_CALL zrdsp_fft_real_double(double* data, int32_t count, int16_t direction);

/* ---- Windows ------------------------------------------------------------ */

/* Sum-of-cosines analysis window, peak at index count/2, symmetric about it;
 * index 0 holds the edge value.
 *   window    out: count values.
 *   count     even and >= 2; any other count (or a null pointer) returns
 *             without writing.
 *   type      ZRDSP_WINDOW_UNIFORM (0), _HANN (1), _GAUSS_TOP (2),
 *             _FLAT_TOP (3); any other code gives the uniform window.
 *   flag      ZRDSP_SCALE_MEAN (0): scale to mean `value`; non-zero
 *             (ZRDSP_SCALE_RMS): scale to RMS `value`.
 *   value     requested mean or RMS value.
 * The window is periodic over count samples (index 0 and the missing index
 * count are the same point of the cosine sum), so for count >= 16 these
 * figures hold exactly, whatever the scaling:
 *
 *   window      coherent gain       equivalent noise bandwidth
 *               (mean / peak)       (count * sum w^2 / (sum w)^2, in lines)
 *   Uniform     1        (0 dB)     1                 (0 dB)
 *   Hann        0.5      (-6.02 dB) 1.5               (1.76 dB)
 *   Gauss top   0.323215 (-9.81 dB) 2.215349685       (3.45 dB)
 *   Flat top    0.213283 (-13.42 dB) 3.822108760      (5.82 dB)
 *
 * A noise density in dBm/Hz is the dBm level of a noise line minus
 * 10 log10(noise bandwidth * line spacing in Hz). */
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
 *   mode      ZRDSP_MAGNITUDE (0), ZRDSP_DECIBELS (2, an exact 0 gives
 *             -500), any other code (ZRDSP_POWER): power.
 * Allocates one work array from the heap per call (released before return);
 * if the heap cannot supply it, the call returns without writing.
 *
 * Spectrum levels in dBm: with samples in volts and a window scaled with
 * zrdsp_window(w, count, type, ZRDSP_SCALE_MEAN, 6.32455532 / count), so
 * that the weights sum to sqrt(40), a tone A cos(2 pi k n / count) on line
 * k (0 < k < count/2) gives |X[k]| = A sqrt(10), whichever the window:
 *   ZRDSP_POWER      10 A^2, its power into 50 ohm in mW;
 *   ZRDSP_DECIBELS   10 log10(10 A^2), its level in dBm: 1 V peak
 *                    (0.707 V rms) reads 10 dBm, 0.316 V peak 0 dBm;
 *   ZRDSP_MAGNITUDE  sqrt(10) A: 3.162 for 1 V peak.
 * A tone between two lines reads lower (least with the flat top). */
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
 *   mode      as for zrdsp_spectrum. With the same dBm window a complex
 *             tone A e^(2 pi i k n / count) gives |X| = A sqrt(40): it
 *             reads 10 log10(40 A^2), 10 dBm at A = 0.5. */
ZRDSP_API void ZRDSP_CALL zrdsp_cspectrum(const float* data, float* spectrum, const float* window,
                                          int32_t count, int16_t mode);
ZRDSP_API void ZRDSP_CALL zrdsp_cspectrum_double(const double* data, double* spectrum,
                                                 const double* window, int32_t count, int16_t mode);

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
ZRDSP_API void ZRDSP_CALL zrdsp_resample_double(const double* input, int32_t count, double* output,
                                                int32_t maxout, int32_t* produced, double* position,
                                                double step, double* history);

/* Frequency response of the resampling kernel at count frequencies from f1
 * to f2 (cycles per input sample): a real, signed amplitude, 1 at 0.
 * count 1 gives the value at f1; count < 1 writes nothing. */
ZRDSP_API void ZRDSP_CALL zrdsp_resamp_resp(double* response, int32_t count, double f1, double f2);

#ifdef __cplusplus
}
#endif

#endif /* ZRDSP_32_H */

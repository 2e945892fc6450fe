// In-place radix-2 transforms shared by the FFT entry points, the spectra and
// the FIR design. One template per algorithm serves float and double; the only
// numerical difference between the two lives in Precision<T>.
//
// Arithmetic: every butterfly, sum and twiddle recurrence is carried in double
// and rounded to T only when stored into the caller's array. The twiddle
// factors come from a two-sine-per-stage recurrence; no table is kept and
// nothing is allocated.
#ifndef ZRDSP_FFT_IMPL_HPP
#define ZRDSP_FFT_IMPL_HPP

#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace zr::dsp {

// Rounding rules of one element precision.
//  twiddle(): a twiddle factor as it multiplies data. The single-precision
//             transforms round it to float (the recurrence itself stays in
//             double); the double transforms use it unchanged.
//  split():   an intermediate of the real-transform split step (h1r, h1i, h2r,
//             h2i), held in the element precision.
template <typename T> struct Precision;

template <> struct Precision<double> {
    static double twiddle(double w) { return w; }
    static double split(double v) { return v; }
};

template <> struct Precision<float> {
    static double twiddle(double w) { return static_cast<float>(w); }
    static double split(double v) { return static_cast<float>(v); }
};

// 2*pi as the 15-digit literal used by the complex butterflies, and pi as used
// by the real split step. The butterfly constant is deliberately not
// full-precision 2*pi: results are reproducible to the last bit with it.
inline constexpr double kTwoPiButterfly = 6.28318530717959;
inline constexpr double kPi = 3.141592653589793;

// True for 1, 2, 4, ... 2^30.
inline bool is_power_of_two(std::int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// Advances the twiddle (wr, wi) by one step of angle theta, given
// wpr = -2 sin^2(theta/2) and wpi = sin(theta).
inline void advance_twiddle(double& wr, double& wi, double wpr, double wpi) {
    const double t = wr;
    wr = wr * wpr - wi * wpi + wr;
    wi = wi * wpr + t * wpi + wi;
}

// One butterfly: the pair at a and the pair at b, twiddle (wr, wi) applied
// to b. Operands are widened to double and the results rounded to T.
template <typename T> inline void butterfly(T* a, T* b, double wr, double wi) {
    const double br = b[0];
    const double bi = b[1];
    const double tr = wr * br - wi * bi;
    const double ti = wr * bi + wi * br;
    const double ar = a[0];
    const double ai = a[1];
    b[0] = static_cast<T>(ar - tr);
    b[1] = static_cast<T>(ai - ti);
    a[0] = static_cast<T>(ar + tr);
    a[1] = static_cast<T>(ai + ti);
}

// Twiddle recurrence setup of one butterfly stage of span mmax.
struct StageTwiddle {
    double wpr, wpi;
    StageTwiddle(std::size_t mmax, int direction) {
        const double theta = -direction * kTwoPiButterfly / static_cast<double>(mmax);
        const double s = std::sin(0.5 * theta);
        wpr = -2.0 * s * s;
        wpi = std::sin(theta);
    }
};

// Butterfly stages on n values (n/2 points, bit-reversed), portable code.
// The twiddle of each stage starts at 1 and is rotated by the recurrence once
// per butterfly column m (m = 1, 3, ... < mmax). With many columns over a
// large array, they are taken kChunk at a time: their twiddles are produced by
// the recurrence into a small local buffer, then every block of the stage runs
// those columns over contiguous memory. Each butterfly sees exactly the
// twiddle and the operands it would see column by column, so the results are
// the same to the last bit; only the memory order differs.
template <typename T> void butterfly_stages_portable(T* data, std::size_t n, int direction) {
    using P = Precision<T>;
    constexpr std::size_t kChunk = 32;
    const bool large = n * sizeof(T) > 32768;
    double cwr[kChunk];
    double cwi[kChunk];
    for (std::size_t mmax = 2; n > mmax; mmax *= 2) {
        const std::size_t istep = 2 * mmax;
        const StageTwiddle st(mmax, direction);
        double wr = 1.0;
        double wi = 0.0;
        const std::size_t columns = mmax / 2;
        if (columns < kChunk || !large) {
            // Few columns, or data that stay in the first-level cache: one
            // pass over the array per column.
            for (std::size_t m = 0; m < columns; ++m) {
                const double wim = P::twiddle(wi);
                for (std::size_t base = 2 * m; base < n; base += istep)
                    butterfly(data + base, data + base + mmax, wr, wim);
                advance_twiddle(wr, wi, st.wpr, st.wpi);
            }
            continue;
        }
        for (std::size_t c0 = 0; c0 < columns; c0 += kChunk) {
            const std::size_t cnt = columns - c0 < kChunk ? columns - c0 : kChunk;
            for (std::size_t t = 0; t < cnt; ++t) {
                cwr[t] = wr;
                cwi[t] = P::twiddle(wi);
                advance_twiddle(wr, wi, st.wpr, st.wpi);
            }
            for (std::size_t base = 2 * c0; base < n; base += istep) {
                T* a = data + base;
                T* b = a + mmax;
                for (std::size_t t = 0; t < cnt; ++t)
                    butterfly(a + 2 * t, b + 2 * t, cwr[t], cwi[t]);
            }
        }
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define ZRDSP_HAVE_AVX_PATH 1

// Four values widened to double / rounded back to T (round to nearest, as a
// scalar conversion does).
__attribute__((target("avx"))) inline __m256d load4(const double* p) {
    return _mm256_loadu_pd(p);
}
__attribute__((target("avx"))) inline __m256d load4(const float* p) {
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
}
__attribute__((target("avx"))) inline void store4(double* p, __m256d v) {
    _mm256_storeu_pd(p, v);
}
__attribute__((target("avx"))) inline void store4(float* p, __m256d v) {
    _mm_storeu_ps(p, _mm256_cvtpd_ps(v));
}

// The same stages with two butterflies per AVX operation (no fused
// multiply-add). Every lane performs the scalar butterfly's operations on the
// same operands in the same order: tr = wr*br - wi*bi and ti = wr*bi + wi*br
// come from one addsub of (wr*br, wr*bi) and (wi*bi, wi*br), so the results are
// bit-identical to butterfly_stages_portable.
template <typename T>
__attribute__((target("avx"))) void butterfly_stages_avx(T* data, std::size_t n, int direction) {
    using P = Precision<T>;
    constexpr std::size_t kChunk = 32;
    alignas(32) double cwr[2 * kChunk];
    alignas(32) double cwi[2 * kChunk];
    for (std::size_t mmax = 2; n > mmax; mmax *= 2) {
        const std::size_t istep = 2 * mmax;
        const StageTwiddle st(mmax, direction);
        double wr = 1.0;
        double wi = 0.0;
        const std::size_t columns = mmax / 2;
        if (columns == 1) {
            const double wim = P::twiddle(wi);
            for (std::size_t base = 0; base < n; base += istep)
                butterfly(data + base, data + base + mmax, wr, wim);
            continue;
        }
        // columns is a power of two >= 2, so every chunk holds whole pairs.
        for (std::size_t c0 = 0; c0 < columns; c0 += kChunk) {
            const std::size_t cnt = columns - c0 < kChunk ? columns - c0 : kChunk;
            for (std::size_t t = 0; t < cnt; ++t) {
                cwr[2 * t] = cwr[2 * t + 1] = wr;
                cwi[2 * t] = cwi[2 * t + 1] = P::twiddle(wi);
                advance_twiddle(wr, wi, st.wpr, st.wpi);
            }
            for (std::size_t base = 2 * c0; base < n; base += istep) {
                T* a = data + base;
                T* b = a + mmax;
                for (std::size_t t = 0; t < 2 * cnt; t += 4) {
                    const __m256d bv = load4(b + t);
                    const __m256d p = _mm256_mul_pd(_mm256_load_pd(cwr + t), bv);
                    const __m256d q =
                        _mm256_mul_pd(_mm256_load_pd(cwi + t), _mm256_permute_pd(bv, 0x5));
                    const __m256d tv = _mm256_addsub_pd(p, q);
                    const __m256d av = load4(a + t);
                    store4(b + t, _mm256_sub_pd(av, tv));
                    store4(a + t, _mm256_add_pd(av, tv));
                }
            }
        }
    }
}

inline bool cpu_has_avx() {
    return __builtin_cpu_supports("avx");
}
#endif

// Bit-reversal reordering of count interleaved points. The counters follow
// 1-based positions, so the pair at position p is data[p-1], data[p].
template <typename T> void bit_reverse(T* data, std::size_t count) {
    const std::size_t n = 2 * count;
    std::size_t j = 1;
    for (std::size_t i = 1; i < n; i += 2) {
        if (j > i) {
            const T tr = data[j - 1];
            const T ti = data[j];
            data[j - 1] = data[i - 1];
            data[j] = data[i];
            data[i - 1] = tr;
            data[i] = ti;
        }
        std::size_t m = n / 2;
        while (m >= 2 && j > m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
}

// Complex transform of `count` interleaved points in place, unnormalised.
// direction +1: kernel e^(-2 pi i kn/N); -1: e^(+2 pi i kn/N).
// count must be a power of two >= 1 (the caller checks).
template <typename T> void fft_complex(T* data, std::size_t count, int direction) {
    bit_reverse(data, count);
#ifdef ZRDSP_HAVE_AVX_PATH
    if (cpu_has_avx()) {
        butterfly_stages_avx(data, 2 * count, direction);
        return;
    }
#endif
    butterfly_stages_portable(data, 2 * count, direction);
}

// Split/merge step of the real transform on the packed array of n reals:
// pairs bin k with bin n/2-k using the twiddle recurrence of angle theta, then
// combines positions 0 and 1 and flips the sign of the imaginary part of bin n/4.
template <typename T> void real_split(T* data, std::size_t n, double theta, double c2) {
    using P = Precision<T>;
    const double c1 = 0.5;
    const double s = std::sin(0.5 * theta);
    const double wpr = -2.0 * s * s;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr;
    double wi = wpi;
    const std::size_t half = n / 2;
    for (std::size_t k = 1; k < n / 4; ++k) {
        T* zk = data + 2 * k;
        T* zq = data + 2 * (half - k);
        const double rk = zk[0], ik = zk[1], rq = zq[0], iq = zq[1];
        const double h1r = P::split(c1 * (rk + rq));
        const double h1i = P::split(c1 * (ik - iq));
        const double h2r = P::split(-c2 * (ik + iq));
        const double h2i = P::split(c2 * (rk - rq));
        const double wrm = P::twiddle(wr);
        const double wim = P::twiddle(wi);
        zk[0] = static_cast<T>(h1r + wrm * h2r - wim * h2i);
        zk[1] = static_cast<T>(h1i + wrm * h2i + wim * h2r);
        zq[0] = static_cast<T>(h1r - wrm * h2r + wim * h2i);
        zq[1] = static_cast<T>(-h1i + wrm * h2i + wim * h2r);
        advance_twiddle(wr, wi, wpr, wpi);
    }
    const double f = data[0];
    const double g = data[1];
    data[0] = static_cast<T>(f + g);
    data[1] = static_cast<T>(f - g);
    data[half + 1] = -data[half + 1];
}

// Real transform of n samples in place (n a power of two >= 4; the caller
// checks). direction exactly 1: forward, samples in, packed spectrum out
// (data[0] = X[0], data[1] = X[n/2], data[2k], data[2k+1] = X[k]). Any other
// direction: inverse, packed spectrum in, n/2 times the samples out.
template <typename T> void fft_real(T* data, std::size_t n, int direction) {
    const double theta = kPi / static_cast<double>(n / 2);
    if (direction == 1) {
        fft_complex(data, n / 2, 1);
        real_split(data, n, -theta, -0.5);
    } else {
        real_split(data, n, theta, 0.5);
        data[0] = static_cast<T>(0.5 * data[0]);
        data[1] = static_cast<T>(0.5 * data[1]);
        fft_complex(data, n / 2, -1);
    }
}

} // namespace zr::dsp

#endif

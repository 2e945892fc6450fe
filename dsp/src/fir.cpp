// FIR filtering with caller-held state, weighted least-squares FIR design
// and the complex frequency response of a set of taps.
#include "zrdsp_32.h"

#include <cmath>
#include <cstddef>
#include <new>

#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
#include <immintrin.h>
#endif

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

// Up to this many taps the old history lives on the stack; longer filters
// take one heap array per call.
constexpr int kStackHistory = 256;

// Sum of taps[N-1-k] * x(m-k), k = 0 .. N-1, for outputs that lie wholly
// inside the block. Four outputs are formed together (each with its own
// accumulator and the same summation order as a single output) and stored
// after all their inputs have been read, which keeps in-place filtering
// correct while the outputs are written from the last index down.
template <typename T>
void fir_inner_portable(const T* input, T* output, int32_t hi, int32_t lo, const T* taps,
                        int32_t ntaps) {
    // Outputs m = hi, hi-1, ..., lo, all with m - (ntaps-1) >= 0.
    int32_t m = hi;
    const T* newest = taps + (ntaps - 1);
    for (; m - 3 >= lo; m -= 4) {
        double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
        const T* x = input + m;
        for (int32_t k = 0; k < ntaps; ++k) {
            const double t = static_cast<double>(*(newest - k));
            a0 += t * static_cast<double>(x[-k]);
            a1 += t * static_cast<double>(x[-k - 1]);
            a2 += t * static_cast<double>(x[-k - 2]);
            a3 += t * static_cast<double>(x[-k - 3]);
        }
        output[m] = static_cast<T>(a0);
        output[m - 1] = static_cast<T>(a1);
        output[m - 2] = static_cast<T>(a2);
        output[m - 3] = static_cast<T>(a3);
    }
    for (; m >= lo; --m) {
        double acc = 0.0;
        const T* x = input + m;
        for (int32_t k = 0; k < ntaps; ++k) {
            acc += static_cast<double>(*(newest - k)) * static_cast<double>(x[-k]);
        }
        output[m] = static_cast<T>(acc);
    }
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
// Four consecutive samples widened to double.
__attribute__((target("avx"))) inline __m256d load4(const double* p) {
    return _mm256_loadu_pd(p);
}
__attribute__((target("avx"))) inline __m256d load4(const float* p) {
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
}
// Four sums rounded to the element type (round to nearest, as a scalar
// conversion does) and stored.
__attribute__((target("avx"))) inline void store4(double* p, __m256d v) {
    _mm256_storeu_pd(p, v);
}
__attribute__((target("avx"))) inline void store4(float* p, __m256d v) {
    _mm_storeu_ps(p, _mm256_cvtpd_ps(v));
}

// The same outputs with AVX: each lane of a vector is one output, and every
// lane adds the products t_k * x(m-k) for k = 0, 1, ... one at a time (a
// multiply, then an add: no fused multiply-add), exactly as the portable
// loop does. Sixteen outputs per round keep four independent chains of
// additions in flight. All sixteen sums are complete before any of them is
// stored, so writing the outputs over the inputs (from the top down) is safe.
template <typename T>
__attribute__((target("avx"))) void fir_inner_avx(const T* input, T* output, int32_t hi, int32_t lo,
                                                  const T* taps, int32_t ntaps) {
    const T* newest = taps + (ntaps - 1);
    int32_t m = hi; // the highest output of the round
    for (; m - 15 >= lo; m -= 16) {
        const T* x = input + (m - 15); // x[j] is x(m-15+j)
        __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
        for (int32_t k = 0; k < ntaps; ++k) {
            const __m256d t = _mm256_set1_pd(static_cast<double>(*(newest - k)));
            a0 = _mm256_add_pd(a0, _mm256_mul_pd(t, load4(x - k)));
            a1 = _mm256_add_pd(a1, _mm256_mul_pd(t, load4(x - k + 4)));
            a2 = _mm256_add_pd(a2, _mm256_mul_pd(t, load4(x - k + 8)));
            a3 = _mm256_add_pd(a3, _mm256_mul_pd(t, load4(x - k + 12)));
        }
        store4(output + (m - 15), a0);
        store4(output + (m - 11), a1);
        store4(output + (m - 7), a2);
        store4(output + (m - 3), a3);
    }
    for (; m - 3 >= lo; m -= 4) {
        const T* x = input + (m - 3);
        __m256d a = _mm256_setzero_pd();
        for (int32_t k = 0; k < ntaps; ++k) {
            const __m256d t = _mm256_set1_pd(static_cast<double>(*(newest - k)));
            a = _mm256_add_pd(a, _mm256_mul_pd(t, load4(x - k)));
        }
        store4(output + (m - 3), a);
    }
    if (m >= lo)
        fir_inner_portable(input, output, m, lo, taps, ntaps);
}
#endif

// Outputs m = hi down to lo, all of which lie wholly inside the block.
template <typename T>
void fir_inner(const T* input, T* output, int32_t hi, int32_t lo, const T* taps, int32_t ntaps) {
#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
    if (__builtin_cpu_supports("avx")) {
        fir_inner_avx(input, output, hi, lo, taps, ntaps);
        return;
    }
#endif
    fir_inner_portable(input, output, hi, lo, taps, ntaps);
}

template <typename T>
void fir_impl(const T* input, T* output, int32_t count, const T* taps, int32_t ntaps, T* state) {
    if (ntaps < 1 || count < 0) {
        return;
    }
    if (count == 0) {
        return; // nothing consumed: the history stays as it is
    }
    const int32_t n = ntaps;

    // 1. The old history h_0 .. h_(N-1).
    T stackbuf[kStackHistory];
    T* h = stackbuf;
    T* heapbuf = nullptr;
    if (n > kStackHistory) {
        heapbuf = new (std::nothrow) T[static_cast<std::size_t>(n)];
        if (heapbuf == nullptr) {
            return; // no work memory: leave output and state untouched
        }
        h = heapbuf;
    }
    for (int32_t j = 0; j < n; ++j) {
        h[j] = state[j];
    }

    // 2. The state becomes the last N samples of (old history, block). A
    // block shorter than the filter shifts the old history down.
    if (count >= n) {
        for (int32_t j = 0; j < n; ++j) {
            state[n - 1 - j] = input[count - 1 - j];
        }
    } else {
        const int32_t keep = n - count;
        for (int32_t j = 0; j < keep; ++j) {
            state[j] = h[j + count];
        }
        for (int32_t j = 0; j < count; ++j) {
            state[keep + j] = input[j];
        }
    }

    // 3. Outputs from the last index down, so that output may be input.
    // Outputs m >= N-1 read the block only.
    if (count - 1 >= n - 1) {
        fir_inner(input, output, count - 1, n - 1, taps, n);
    }
    // Outputs m < N-1 reach back into the old history: x(p) = h[N+p], p < 0.
    const int32_t top = (count - 1 < n - 2) ? count - 1 : n - 2;
    for (int32_t m = top; m >= 0; --m) {
        double acc = 0.0;
        for (int32_t k = 0; k <= m; ++k) {
            acc += static_cast<double>(taps[n - 1 - k]) * static_cast<double>(input[m - k]);
        }
        for (int32_t k = m + 1; k < n; ++k) {
            acc += static_cast<double>(taps[n - 1 - k]) * static_cast<double>(h[n + m - k]);
        }
        output[m] = static_cast<T>(acc);
    }

    // 4. Release the work memory.
    delete[] heapbuf;
}

// True when v >= 2 and v is a power of two.
bool is_pow2_at_least2(int64_t v) {
    return v >= 2 && (v & (v - 1)) == 0;
}

// Levinson recursion for the Toeplitz system sum_m R(k-m) x[m] = y[k],
// k = 0 .. n-1. rho(d) = R(d) for |d| < n is read as rho[d]. g and h are
// work vectors of n+1 values. Indices below follow the 1-based formulation
// (x[j] is xs[j-1], y[i] is ys[i-1], g[j] is gs[j], h[j] is hs[j]).
double levinson(const double* rho, const double* ys, double* xs, double* gs, double* hs,
                int32_t n) {
    auto R = [rho](int32_t d) { return rho[d]; };
    auto x = [xs](int32_t j) -> double& { return xs[j - 1]; };
    auto y = [ys](int32_t i) { return ys[i - 1]; };

    if (n < 1) {
        return 2.0;
    }
    if (R(0) == 0.0) {
        return 1.0;
    }
    x(1) = y(1) / R(0);
    if (n == 1) {
        return 0.0;
    }
    gs[1] = R(-1) / R(0);
    hs[1] = R(1) / R(0);
    for (int32_t m = 1;; ++m) {
        const int32_t m1 = m + 1;
        double sxn = -y(m1);
        double sd = -R(0);
        for (int32_t j = 1; j <= m; ++j) {
            sxn += R(m1 - j) * x(j);
            sd += R(m1 - j) * gs[m - j + 1];
        }
        if (sd == 0.0) {
            return 1.0;
        }
        x(m1) = sxn / sd;
        for (int32_t j = 1; j <= m; ++j) {
            x(j) -= x(m1) * gs[m - j + 1];
        }
        if (m1 == n) {
            return 0.0;
        }
        double sgn = -R(-m1);
        double shn = -R(m1);
        double sgd = -R(0);
        for (int32_t j = 1; j <= m; ++j) {
            sgn += R(j - m1) * gs[j];
            shn += R(m1 - j) * hs[j];
            sgd += R(j - m1) * hs[m - j + 1];
        }
        if (sgd == 0.0) {
            return 1.0;
        }
        gs[m1] = sgn / sgd;
        hs[m1] = shn / sd;
        const double pp = gs[m1];
        const double qq = hs[m1];
        int32_t k = m;
        for (int32_t j = 1; j <= (m + 1) / 2; ++j) {
            const double pt1 = gs[j];
            const double pt2 = gs[k];
            const double qt1 = hs[j];
            const double qt2 = hs[k];
            gs[j] = pt1 - pp * qt2;
            gs[k] = pt2 - pp * qt1;
            hs[j] = qt1 - qq * pt2;
            hs[k] = qt2 - qq * pt1;
            --k;
        }
    }
}

} // namespace

extern "C" {

ZRDSP_API void ZRDSP_CALL zrdsp_fir(const float* input, float* output, int32_t count,
                                    const float* taps, int32_t ntaps, float* state) {
    fir_impl(input, output, count, taps, ntaps, state);
}

ZRDSP_API void ZRDSP_CALL zrdsp_fir_double(const double* input, double* output, int32_t count,
                                           const double* taps, int32_t ntaps, double* state) {
    fir_impl(input, output, count, taps, ntaps, state);
}

ZRDSP_API double ZRDSP_CALL zrdsp_fir_synth(const double* desired, const double* weights,
                                            int32_t npts, double delay, double* taps,
                                            int32_t ntaps) {
    if (ntaps < 1) {
        return 2.0;
    }
    const int32_t a = npts;
    // The real transform needs 2a to be a power of two; 2a must also fit a
    // 32-bit count.
    if (a < 2 || a > (1 << 29) || !is_pow2_at_least2(2 * static_cast<int64_t>(a)) || ntaps > a) {
        return 3.0;
    }

    // Work memory: q and r (2a each) for the transforms, g and h (n+1 each)
    // for the recursion, taken in one piece and released on every path.
    const std::size_t len = 2 * static_cast<std::size_t>(a);
    const std::size_t lv = static_cast<std::size_t>(ntaps) + 1;
    double* work = new (std::nothrow) double[2 * len + 2 * lv];
    if (work == nullptr) {
        return 3.0;
    }
    double* q = work;
    double* r = work + len;
    double* g = r + len;
    double* h = g + lv;

    // Phasor (c, s) = (cos i*theta, -sin i*theta), turned by recurrence.
    const double theta = delay * kPi / a;
    const double sn = std::sin(theta);
    const double half = std::sin(theta / 2.0);
    const double mu = -2.0 * half * half;
    double c = 1.0;
    double s = 0.0;
    for (int32_t i = 0; i < a; ++i) {
        const double w = weights[i];
        const double dr = desired[2 * i];
        const double di = desired[2 * i + 1];
        r[2 * i] = w;
        r[2 * i + 1] = 0.0;
        q[2 * i] = w * (dr * c - di * s);
        q[2 * i + 1] = w * (dr * s + di * c);
        const double t = s;
        s = s + (-sn) * c + s * mu;
        c = c + c * mu + t * sn;
    }
    // The half-rate point takes position 1 of the packed layout.
    {
        const double w = weights[a];
        const double dr = desired[2 * a];
        const double di = desired[2 * a + 1];
        r[1] = w;
        q[1] = w * (dr * c - di * s);
    }

    zrdsp_fft_real_double(q, 2 * a, -1);
    zrdsp_fft_real_double(r, 2 * a, -1);

    // Lag d of the weight's autocorrelation moves to r[a+d], d = -a .. a-1.
    for (int32_t j = 0; j < a; ++j) {
        const double t = r[j];
        r[j] = r[a + j];
        r[a + j] = t;
    }

    const double status = levinson(r + a, q, taps, g, h, ntaps);
    delete[] work;
    return status;
}

ZRDSP_API void ZRDSP_CALL zrdsp_fir_resp(double* response, int32_t nfreq, double f1, double f2,
                                         const double* taps, int32_t ntaps) {
    if (nfreq < 1) {
        return;
    }
    const double eta = (nfreq > 1) ? kPi * (f2 - f1) / (nfreq - 1) : 0.0;
    const double se = std::sin(eta);
    const double wpr = -2.0 * se * se;
    const double wpi = std::sin(2.0 * eta);
    double c = std::cos(kTwoPi * f1);
    double s = std::sin(kTwoPi * f1);
    for (int32_t k = 0; k < nfreq; ++k) {
        double pr = 0.0;
        double pi = 0.0;
        for (int32_t m = 0; m < ntaps; ++m) {
            const double nr = pr * c - pi * s + taps[m];
            const double ni = pr * s + pi * c;
            pr = nr;
            pi = ni;
        }
        response[2 * k] = pr;
        response[2 * k + 1] = pi;
        const double cn = c + c * wpr - s * wpi;
        const double snew = s + c * wpi + s * wpr;
        c = cn;
        s = snew;
    }
}

} // extern "C"

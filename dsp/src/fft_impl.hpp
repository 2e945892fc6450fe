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
#include <cstring>

// Vector code is used on x86-64 with GCC-compatible compilers, chosen at run
// time; -DZRDSP_PORTABLE_ONLY builds the portable code alone (as on other
// processors), which is how that code is checked on this one.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
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

// A recurrence that another computation wants run `remaining` steps further,
// advanced a step at a time from inside the transform's loops: its chain of
// dependent operations then fills time the processor would otherwise spend
// waiting, instead of running on its own afterwards. finish() completes it.
struct ChainAhead {
    double wr = 1.0, wi = 0.0, wpr = 0.0, wpi = 0.0;
    std::size_t remaining = 0;
    void step() {
        if (remaining != 0) {
            advance_twiddle(wr, wi, wpr, wpi);
            --remaining;
        }
    }
    void finish() {
        while (remaining != 0)
            step();
    }
};

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
    // From sin(theta/2) and sin(theta) already evaluated.
    StageTwiddle(double half_sine, double sine) {
        wpr = -2.0 * half_sine * half_sine;
        wpi = sine;
    }
};

// The angle of stage s (span mmax = 2^(s+1) values) as StageTwiddle forms it.
inline double stage_angle(unsigned s, int direction) {
    return -direction * kTwoPiButterfly / static_cast<double>(std::size_t{2} << s);
}

// The sines of one transform's stages. The angle of stage s+1 is exactly
// half the angle of stage s (a division by a power of two), so the sine of
// half a stage's angle, which its recurrence needs besides the sine of the
// angle, is the next stage's sine: one evaluation serves both, and every
// stage still gets the very wpr and wpi of StageTwiddle(mmax, direction).
struct StageSines {
    double sn[64] = {};
    StageSines(unsigned stages, int direction) {
        for (unsigned s = 1; s <= stages; ++s)
            sn[s] = std::sin(stage_angle(s, direction));
    }
    StageTwiddle stage(unsigned s) const { return StageTwiddle(sn[s + 1], sn[s]); }
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

#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
#define ZRDSP_HAVE_AVX_PATH 1

// The small kernels below are always inlined: called out of line, their
// vector operands and results would travel through the stack.
#define ZRDSP_AVX_KERNEL __attribute__((target("avx"), always_inline)) inline

// Four values widened to double / rounded back to T (round to nearest, as a
// scalar conversion does).
ZRDSP_AVX_KERNEL __m256d load4(const double* p) {
    return _mm256_loadu_pd(p);
}
ZRDSP_AVX_KERNEL __m256d load4(const float* p) {
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
}
ZRDSP_AVX_KERNEL void store4(double* p, __m256d v) {
    _mm256_storeu_pd(p, v);
}
ZRDSP_AVX_KERNEL void store4(float* p, __m256d v) {
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

// ---- Blocked, fused AVX stages ------------------------------------------
//
// The butterflies below are the ones of butterfly_stages_portable, operand
// for operand; what changes is which ones run together:
//  - the first stages run block by block (kBlockPoints points, which stay in
//    the first-level cache): stages 0-2 as one 8-point kernel in registers,
//    then stages in pairs (a 4-point kernel per pair of columns);
//  - the later stages run over the whole array in pairs.
// Between two stages done in registers the values are rounded to the element
// type exactly as storing and reloading them would (RoundTo), so float
// results keep their bits too.
//
// Twiddles: every stage still gets its (wr, wi) from its own recurrence with
// two sine evaluations, starting at (1, 0) and advanced once per column; the
// values are only produced into small buffers ahead of use. The twiddle of
// column m of stage s is w_s[m].

// Values rounded to T as a store would round them (a no-op for double).
template <typename T> struct RoundTo;
template <> struct RoundTo<double> {
    __attribute__((target("avx"))) static __m256d apply(__m256d v) { return v; }
};
template <> struct RoundTo<float> {
    __attribute__((target("avx"))) static __m256d apply(__m256d v) {
        return _mm256_cvtps_pd(_mm256_cvtpd_ps(v));
    }
};

// Two butterflies, one per 128-bit half: a = (a0, a1), b = (b0, b1) complex,
// wr = (wr0, wr0, wr1, wr1), wi = (wi0, wi0, wi1, wi1). Same operations as
// butterfly() lane by lane (see butterfly_stages_avx).
ZRDSP_AVX_KERNEL void bfly2(__m256d& a, __m256d& b, __m256d wr, __m256d wi) {
    const __m256d p = _mm256_mul_pd(wr, b);
    const __m256d q = _mm256_mul_pd(wi, _mm256_permute_pd(b, 0x5));
    const __m256d t = _mm256_addsub_pd(p, q);
    b = _mm256_sub_pd(a, t);
    a = _mm256_add_pd(a, t);
}

// One twiddle recurrence, writing its values duplicated for bfly2: column t
// goes to dr[2t], dr[2t+1] (wr) and di[2t], di[2t+1] (wi as it multiplies
// data).
template <typename T> struct TwiddleChain {
    double wr = 1.0, wi = 0.0, wpr = 0.0, wpi = 0.0;
    TwiddleChain() = default;
    TwiddleChain(std::size_t mmax, int direction) { start(mmax, direction); }
    void start(std::size_t mmax, int direction) { start(StageTwiddle(mmax, direction)); }
    void start(const StageTwiddle& st) {
        wr = 1.0;
        wi = 0.0;
        wpr = st.wpr;
        wpi = st.wpi;
    }
    void put(double* dr, double* di, std::size_t t) const {
        dr[2 * t] = dr[2 * t + 1] = wr;
        di[2 * t] = di[2 * t + 1] = Precision<T>::twiddle(wi);
    }
    void step() { advance_twiddle(wr, wi, wpr, wpi); }
};

inline constexpr unsigned kBlockBits = 9; // stages done block by block
inline constexpr std::size_t kBlockPoints = std::size_t{1} << kBlockBits;

// Twiddles of stages 1 .. stages-1 (stage s has 2^s columns), stage s at
// offset 2^(s+1) of dr and di (aligned for whole-vector loads).
template <typename T> struct LowTwiddles {
    alignas(32) double dr[2 * kBlockPoints];
    alignas(32) double di[2 * kBlockPoints];
    static std::size_t offset(unsigned s) { return std::size_t{2} << s; }
    const double* r(unsigned s) const { return dr + offset(s); }
    const double* i(unsigned s) const { return di + offset(s); }
};

// Four recurrences side by side, one per lane: lane l is stage top-l (lanes
// of stages below 1 idle). Every lane performs advance_twiddle's operations
// on its own values, so it produces the very same doubles as the scalar loop.
// The chains of different stages are independent: run together they cost
// the time of the longest one, where one after another they would cost the
// sum of all.
struct ChainLanes {
    __m256d wr, wi, wpr, wpi;
    std::size_t len[4]; // columns of each lane's stage (0: idle lane)
    unsigned stage[4];

    __attribute__((target("avx"))) ChainLanes(int top, const StageSines& sines) {
        alignas(32) double pr[4], pi[4];
        for (int l = 0; l < 4; ++l) {
            const int st = top - l;
            if (st >= 1) {
                const StageTwiddle tw = sines.stage(static_cast<unsigned>(st));
                pr[l] = tw.wpr;
                pi[l] = tw.wpi;
                len[l] = std::size_t{1} << st;
                stage[l] = static_cast<unsigned>(st);
            } else {
                pr[l] = pi[l] = 0.0;
                len[l] = 0;
                stage[l] = 0;
            }
        }
        wr = _mm256_set1_pd(1.0);
        wi = _mm256_setzero_pd();
        wpr = _mm256_load_pd(pr);
        wpi = _mm256_load_pd(pi);
    }
    __attribute__((target("avx"))) void step() {
        const __m256d t = wr;
        wr = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(wr, wpr), _mm256_mul_pd(wi, wpi)), wr);
        wi = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(wi, wpr), _mm256_mul_pd(t, wpi)), wi);
    }
    // Column k of every lane whose stage has that column, duplicated for
    // bfly2 (wi as it multiplies data).
    template <typename T>
    __attribute__((target("avx"))) void put(LowTwiddles<T>& tw, std::size_t k) const {
        const __m256d r = wr;
        const __m256d i = RoundTo<T>::apply(wi);
        const __m256d r02 = _mm256_unpacklo_pd(r, r), r13 = _mm256_unpackhi_pd(r, r);
        const __m256d i02 = _mm256_unpacklo_pd(i, i), i13 = _mm256_unpackhi_pd(i, i);
        put_lane(tw, k, 0, _mm256_castpd256_pd128(r02), _mm256_castpd256_pd128(i02));
        put_lane(tw, k, 1, _mm256_castpd256_pd128(r13), _mm256_castpd256_pd128(i13));
        put_lane(tw, k, 2, _mm256_extractf128_pd(r02, 1), _mm256_extractf128_pd(i02, 1));
        put_lane(tw, k, 3, _mm256_extractf128_pd(r13, 1), _mm256_extractf128_pd(i13, 1));
    }
    template <typename T>
    __attribute__((target("avx"))) void put_lane(LowTwiddles<T>& tw, std::size_t k, int l,
                                                 __m128d r, __m128d i) const {
        if (k < len[l]) {
            _mm_store_pd(tw.dr + LowTwiddles<T>::offset(stage[l]) + 2 * k, r);
            _mm_store_pd(tw.di + LowTwiddles<T>::offset(stage[l]) + 2 * k, i);
        }
    }
};

// Twiddles of stages 1 to 3 as the first kernels use them.
struct FirstTwiddles {
    __m256d w1r, w1i, w2ar, w2ai, w2br, w2bi;
    template <typename T>
    __attribute__((target("avx"))) explicit FirstTwiddles(const LowTwiddles<T>& tw)
        : w1r(_mm256_load_pd(tw.r(1))), w1i(_mm256_load_pd(tw.i(1))), w2ar(_mm256_load_pd(tw.r(2))),
          w2ai(_mm256_load_pd(tw.i(2))), w2br(_mm256_load_pd(tw.r(2) + 4)),
          w2bi(_mm256_load_pd(tw.i(2) + 4)) {}
};

// Stage 0 (pairs (0,1) (2,3) (4,5) (6,7), twiddle (1, 0)) on the 8 points
// at x, rounded to T: a, b, c, d hold points (0, 2), (1, 3), (4, 6), (5, 7).
ZRDSP_AVX_KERNEL void stage0_of_8(const double* x, __m256d& a, __m256d& b, __m256d& c, __m256d& d) {
    const __m256d v0 = load4(x), v1 = load4(x + 4), v2 = load4(x + 8), v3 = load4(x + 12);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d zero = _mm256_setzero_pd();
    a = _mm256_permute2f128_pd(v0, v1, 0x20);
    b = _mm256_permute2f128_pd(v0, v1, 0x31);
    c = _mm256_permute2f128_pd(v2, v3, 0x20);
    d = _mm256_permute2f128_pd(v2, v3, 0x31);
    bfly2(a, b, one, zero);
    bfly2(c, d, one, zero);
}

// The same in single precision. With the twiddle (1, 0) every operation of
// the butterfly before the final sum and difference is exact (1*b, 0*b and
// b -/+ signed zero), and a sum or difference of two floats computed in
// double and then rounded to float equals the float operation itself (double
// carries more than twice float's significand plus two bits, so the double
// rounding is innocuous). The stage therefore runs on floats, eight values
// per operation, with no round trip through double: same bits, fewer
// conversions.
ZRDSP_AVX_KERNEL void stage0_of_8(const float* x, __m256d& a, __m256d& b, __m256d& c, __m256d& d) {
    // Points as 64-bit units: (0, 1 | 2, 3) and (4, 5 | 6, 7).
    const __m256d x0 = _mm256_castps_pd(_mm256_loadu_ps(x));
    const __m256d x1 = _mm256_castps_pd(_mm256_loadu_ps(x + 8));
    const __m256d y0 = _mm256_permute2f128_pd(x0, x1, 0x20);        // (0, 1 | 4, 5)
    const __m256d y1 = _mm256_permute2f128_pd(x0, x1, 0x31);        // (2, 3 | 6, 7)
    __m256 ev = _mm256_castpd_ps(_mm256_unpacklo_pd(y0, y1));       // points 0, 2 | 4, 6
    const __m256 od = _mm256_castpd_ps(_mm256_unpackhi_pd(y0, y1)); // points 1, 3 | 5, 7
    const __m256 p = _mm256_mul_ps(_mm256_set1_ps(1.0f), od);
    const __m256 q = _mm256_mul_ps(_mm256_setzero_ps(), _mm256_permute_ps(od, 0xB1));
    const __m256 t = _mm256_addsub_ps(p, q);
    const __m256 dif = _mm256_sub_ps(ev, t);
    ev = _mm256_add_ps(ev, t);
    a = _mm256_cvtps_pd(_mm256_castps256_ps128(ev));
    c = _mm256_cvtps_pd(_mm256_extractf128_ps(ev, 1));
    b = _mm256_cvtps_pd(_mm256_castps256_ps128(dif));
    d = _mm256_cvtps_pd(_mm256_extractf128_ps(dif, 1));
}

// Stages 0, 1 and 2 on the 8 points at x, in registers; the results, not
// yet rounded to T, in e, f, g, h (points 0-1, 2-3, 4-5, 6-7).
template <typename T>
ZRDSP_AVX_KERNEL void radix8_regs(const T* x, const FirstTwiddles& w, __m256d& e, __m256d& f,
                                  __m256d& g, __m256d& h) {
    using R = RoundTo<T>;
    __m256d a, b, c, d; // points (0, 2), (1, 3), (4, 6), (5, 7) after stage 0
    stage0_of_8(x, a, b, c, d);
    // Stage 1: pairs (0,2) (1,3) (4,6) (5,7), twiddles w1[0], w1[1].
    e = _mm256_permute2f128_pd(a, b, 0x20); // (0, 1)
    f = _mm256_permute2f128_pd(a, b, 0x31); // (2, 3)
    g = _mm256_permute2f128_pd(c, d, 0x20); // (4, 5)
    h = _mm256_permute2f128_pd(c, d, 0x31); // (6, 7)
    bfly2(e, f, w.w1r, w.w1i);
    bfly2(g, h, w.w1r, w.w1i);
    e = R::apply(e), f = R::apply(f), g = R::apply(g), h = R::apply(h);
    // Stage 2: pairs (0,4) (1,5) (2,6) (3,7), twiddles w2[0..3].
    bfly2(e, g, w.w2ar, w.w2ai);
    bfly2(f, h, w.w2br, w.w2bi);
}

// Stages 0-2 on the 8 points at x.
template <typename T> ZRDSP_AVX_KERNEL void radix8_first(T* x, const FirstTwiddles& w) {
    __m256d e, f, g, h;
    radix8_regs(x, w, e, f, g, h);
    store4(x, e);
    store4(x + 4, f);
    store4(x + 8, g);
    store4(x + 12, h);
}

// Stages 0-3 on the 16 points at x (w3: the 8 twiddles of stage 3). Used
// when a block has an even number of stages, so that the rest pair up.
template <typename T>
ZRDSP_AVX_KERNEL void radix16_first(T* x, const FirstTwiddles& w, const LowTwiddles<T>& tw) {
    using R = RoundTo<T>;
    __m256d e0, f0, g0, h0, e1, f1, g1, h1;
    radix8_regs(x, w, e0, f0, g0, h0);
    radix8_regs(x + 16, w, e1, f1, g1, h1);
    e0 = R::apply(e0), f0 = R::apply(f0), g0 = R::apply(g0), h0 = R::apply(h0);
    e1 = R::apply(e1), f1 = R::apply(f1), g1 = R::apply(g1), h1 = R::apply(h1);
    // Stage 3: pairs (j, j+8), twiddles w3[j].
    const double* r3 = tw.r(3);
    const double* i3 = tw.i(3);
    bfly2(e0, e1, _mm256_load_pd(r3), _mm256_load_pd(i3));
    bfly2(f0, f1, _mm256_load_pd(r3 + 4), _mm256_load_pd(i3 + 4));
    bfly2(g0, g1, _mm256_load_pd(r3 + 8), _mm256_load_pd(i3 + 8));
    bfly2(h0, h1, _mm256_load_pd(r3 + 12), _mm256_load_pd(i3 + 12));
    store4(x, e0);
    store4(x + 4, f0);
    store4(x + 8, g0);
    store4(x + 12, h0);
    store4(x + 16, e1);
    store4(x + 20, f1);
    store4(x + 24, g1);
    store4(x + 28, h1);
}

// Stages done by the first kernel of a block of 2^stages points: 0-3 when
// that leaves an even number of stages to pair up, else 0-2.
inline unsigned first_kernel_stages(unsigned stages) {
    return (stages >= 4 && stages % 2 == 0) ? 4 : 3;
}

// Stages s and s+1 (h = 2^s >= 2 points) on columns m, m+1 of one group:
// points m, m+h, m+2h, m+3h (and their neighbours) at x, x+2h, x+4h, x+6h.
// (ws: w_s[m..m+1]; wa: w_(s+1)[m..m+1]; wb: w_(s+1)[m+h..m+h+1].)
template <typename T>
ZRDSP_AVX_KERNEL void radix4_pair(T* x, std::size_t h, __m256d wsr, __m256d wsi, __m256d war,
                                  __m256d wai, __m256d wbr, __m256d wbi) {
    using R = RoundTo<T>;
    T* x1 = x + 2 * h;
    T* x2 = x + 4 * h;
    T* x3 = x + 6 * h;
    __m256d a0 = load4(x), a1 = load4(x1), a2 = load4(x2), a3 = load4(x3);
    bfly2(a0, a1, wsr, wsi);
    bfly2(a2, a3, wsr, wsi);
    a0 = R::apply(a0), a1 = R::apply(a1), a2 = R::apply(a2), a3 = R::apply(a3);
    bfly2(a0, a2, war, wai);
    bfly2(a1, a3, wbr, wbi);
    store4(x, a0);
    store4(x1, a1);
    store4(x2, a2);
    store4(x3, a3);
}

// Two radix4_pair kernels (at x and y, twiddles v and w), their operations
// interleaved so that the processor finds the second kernel's independent
// work next to the first's dependent chain. Each kernel's operations and
// operands are those of radix4_pair.
struct PairTwiddles {
    __m256d sr, si, ar, ai, br, bi;
};
template <typename T>
ZRDSP_AVX_KERNEL void radix4_pair2(T* x, T* y, std::size_t h, const PairTwiddles& v,
                                   const PairTwiddles& w) {
    using R = RoundTo<T>;
    __m256d a0 = load4(x), a1 = load4(x + 2 * h), a2 = load4(x + 4 * h), a3 = load4(x + 6 * h);
    __m256d b0 = load4(y), b1 = load4(y + 2 * h), b2 = load4(y + 4 * h), b3 = load4(y + 6 * h);
    bfly2(a0, a1, v.sr, v.si);
    bfly2(b0, b1, w.sr, w.si);
    bfly2(a2, a3, v.sr, v.si);
    bfly2(b2, b3, w.sr, w.si);
    a0 = R::apply(a0), a1 = R::apply(a1), a2 = R::apply(a2), a3 = R::apply(a3);
    b0 = R::apply(b0), b1 = R::apply(b1), b2 = R::apply(b2), b3 = R::apply(b3);
    bfly2(a0, a2, v.ar, v.ai);
    bfly2(b0, b2, w.ar, w.ai);
    bfly2(a1, a3, v.br, v.bi);
    bfly2(b1, b3, w.br, w.bi);
    store4(x, a0);
    store4(x + 2 * h, a1);
    store4(x + 4 * h, a2);
    store4(x + 6 * h, a3);
    store4(y, b0);
    store4(y + 2 * h, b1);
    store4(y + 4 * h, b2);
    store4(y + 6 * h, b3);
}

// Where the recurrence of the second stage of a pair s, s+1 after the blocks
// stands at column h = 2^s, with its step constants.
struct ChainStart {
    double wr, wi, wpr, wpi;
};

// The second stage of each pair after the blocks needs its recurrence run
// 2^s steps ahead before the pair starts (see stage_pair). Those runs are
// long dependent chains; here they advance side by side in the lanes of one
// vector (up to the four highest pairs), one step at a time from inside the
// block loops, whose independent butterflies fill the waiting time. Each lane
// is stopped when it reaches its column; the values are those of the scalar
// recurrence.
struct PairPrefixes {
    __m256d wr, wi, wpr, wpi;
    std::size_t need[4] = {0, 0, 0, 0}; // steps of lane l (ascending)
    unsigned first_stage = 0;           // stage s of lane 0's pair
    int lanes = 0;
    int next = 0; // lanes 0 .. next-1 have their start
    std::size_t k = 0;
    ChainStart start[4];
    ChainAhead extra; // another recurrence advanced alongside (may have nothing to do)

    __attribute__((target("avx")))
    PairPrefixes(unsigned low, unsigned bits, const StageSines& sines) {
        const int pairs = static_cast<int>((bits - low) / 2);
        lanes = pairs < 4 ? pairs : 4;
        first_stage = low + 2 * static_cast<unsigned>(pairs - lanes);
        alignas(32) double pr[4] = {0, 0, 0, 0}, pi[4] = {0, 0, 0, 0};
        for (int l = 0; l < lanes; ++l) {
            const unsigned st = first_stage + 2 * static_cast<unsigned>(l);
            const StageTwiddle tw = sines.stage(st + 1);
            pr[l] = start[l].wpr = tw.wpr;
            pi[l] = start[l].wpi = tw.wpi;
            need[l] = std::size_t{1} << st;
        }
        wr = _mm256_set1_pd(1.0);
        wi = _mm256_setzero_pd();
        wpr = _mm256_load_pd(pr);
        wpi = _mm256_load_pd(pi);
    }
    // Lane of the pair starting at stage s, or -1 (that pair runs its own).
    int lane_of(unsigned s) const {
        if (s < first_stage)
            return -1;
        const int l = static_cast<int>((s - first_stage) / 2);
        return l < lanes ? l : -1;
    }
    __attribute__((target("avx"))) void step() {
        while (next < lanes && k == need[next])
            take(next++);
        if (next < lanes) {
            const __m256d t = wr;
            wr = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(wr, wpr), _mm256_mul_pd(wi, wpi)), wr);
            wi = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(wi, wpr), _mm256_mul_pd(t, wpi)), wi);
            ++k;
        }
        extra.step();
    }
    __attribute__((target("avx"))) void finish() {
        while (next < lanes)
            step();
        extra.finish();
    }

private:
    __attribute__((target("avx"))) void take(int l) {
        alignas(32) double r[4], i[4];
        _mm256_store_pd(r, wr);
        _mm256_store_pd(i, wi);
        start[l].wr = r[l];
        start[l].wi = i[l];
    }
};

// Fills the twiddles of stages 1 .. stages-1 (3 <= stages <= kBlockBits) and
// runs the first kernels on the first 2^stages points (x) meanwhile. Two sets
// of four lanes cover stages 8..5 and 4..1. The longest recurrence takes
// 2^(stages-1) dependent steps; the first kernels of the first block are
// independent of it, so the processor runs them in its waiting time.
template <typename T>
__attribute__((target("avx"))) void fill_low_twiddles(LowTwiddles<T>& tw, unsigned stages,
                                                      const StageSines& sines, T* x,
                                                      PairPrefixes& bg) {
    const int top = static_cast<int>(stages) - 1;
    ChainLanes hi(top, sines);
    ChainLanes lo(top - 4, sines);
    PairPrefixes ahead = bg; // local copy: see block_stages
    // One first kernel per 2^(first-1) steps: it covers 2^first points, and
    // the twiddles it needs are complete after the first such group of steps.
    const unsigned first = first_kernel_stages(stages);
    const std::size_t per = std::size_t{1} << (first - 1);
    for (std::size_t k = 0; k < hi.len[0]; k += per) {
        for (std::size_t q = k; q < k + per; ++q) {
            hi.put(tw, q);
            hi.step();
            ahead.step();
            if (q < lo.len[0]) {
                lo.put(tw, q);
                lo.step();
            }
        }
        const FirstTwiddles w(tw);
        if (first == 4)
            radix16_first(x + 4 * k, w, tw); // points 2k .. 2k+15
        else
            radix8_first(x + 4 * k, w); // points 2k .. 2k+7
    }
    bg = ahead;
}

// Stages 0 .. stages-1 (stages >= 3) on one block of 2^stages points.
// (first_done: the first kernels have already run on this block.)
template <typename T>
__attribute__((target("avx"))) void block_stages(T* x, unsigned stages, const LowTwiddles<T>& tw,
                                                 bool first_done, PairPrefixes& bg) {
    const std::size_t points = std::size_t{1} << stages;
    const unsigned first = first_kernel_stages(stages);
    if (!first_done) {
        const FirstTwiddles w(tw);
        // A local copy keeps the recurrences in registers (stepping them
        // through memory would lengthen every step of their chains). Two
        // steps per 8 points.
        PairPrefixes ahead = bg;
        if (first == 4) {
            for (std::size_t g = 0; g < points; g += 16) {
                radix16_first(x + 2 * g, w, tw);
                ahead.step();
                ahead.step();
                ahead.step();
                ahead.step();
            }
        } else {
            for (std::size_t g = 0; g < points; g += 8) {
                radix8_first(x + 2 * g, w);
                ahead.step();
                ahead.step();
            }
        }
        bg = ahead;
    }
    unsigned s = first;
    for (; s + 1 < stages; s += 2) {
        const std::size_t h = std::size_t{1} << s;
        for (std::size_t m = 0; m < h; m += 2) {
            const __m256d wsr = _mm256_load_pd(tw.r(s) + 2 * m);
            const __m256d wsi = _mm256_load_pd(tw.i(s) + 2 * m);
            const __m256d war = _mm256_load_pd(tw.r(s + 1) + 2 * m);
            const __m256d wai = _mm256_load_pd(tw.i(s + 1) + 2 * m);
            const __m256d wbr = _mm256_load_pd(tw.r(s + 1) + 2 * (m + h));
            const __m256d wbi = _mm256_load_pd(tw.i(s + 1) + 2 * (m + h));
            const PairTwiddles v{wsr, wsi, war, wai, wbr, wbi};
            std::size_t g = 0;
            for (; g + 8 * h <= points; g += 8 * h) // two groups at a time
                radix4_pair2(x + 2 * (g + m), x + 2 * (g + 4 * h + m), h, v, v);
            if (g < points)
                radix4_pair(x + 2 * (g + m), h, wsr, wsi, war, wai, wbr, wbi);
        }
    }
}

inline constexpr std::size_t kChunkColumns = 32; // twiddles produced ahead, per chain

// The three recurrences of a pair of stages (w_s from column 0, w_(s+1) from
// column 0 and from column h) in the lanes of one vector (lane 3 repeats
// lane 0 and is never stored): one set of vector operations advances all
// three, each lane exactly as advance_twiddle would.
struct PairChains {
    __m256d wr, wi, wpr, wpi;
    template <typename T>
    __attribute__((target("avx")))
    PairChains(const TwiddleChain<T>& s, const TwiddleChain<T>& a, const TwiddleChain<T>& b)
        : wr(_mm256_set_pd(s.wr, b.wr, a.wr, s.wr)), wi(_mm256_set_pd(s.wi, b.wi, a.wi, s.wi)),
          wpr(_mm256_set_pd(s.wpr, b.wpr, a.wpr, s.wpr)),
          wpi(_mm256_set_pd(s.wpi, b.wpi, a.wpi, s.wpi)) {}
    __attribute__((target("avx"))) void step() {
        const __m256d t = wr;
        wr = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(wr, wpr), _mm256_mul_pd(wi, wpi)), wr);
        wi = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(wi, wpr), _mm256_mul_pd(t, wpi)), wi);
    }
    // Column t of the three chains, duplicated for bfly2, into d[0..5]
    // (w_s r, i; w_(s+1)[m] r, i; w_(s+1)[m+h] r, i).
    template <typename T, std::size_t C>
    __attribute__((target("avx"))) void put(double (*d)[C], std::size_t t) const {
        const __m256d i = RoundTo<T>::apply(wi);
        const __m256d r02 = _mm256_unpacklo_pd(wr, wr), r13 = _mm256_unpackhi_pd(wr, wr);
        const __m256d i02 = _mm256_unpacklo_pd(i, i), i13 = _mm256_unpackhi_pd(i, i);
        _mm_store_pd(d[0] + 2 * t, _mm256_castpd256_pd128(r02));
        _mm_store_pd(d[1] + 2 * t, _mm256_castpd256_pd128(i02));
        _mm_store_pd(d[2] + 2 * t, _mm256_castpd256_pd128(r13));
        _mm_store_pd(d[3] + 2 * t, _mm256_castpd256_pd128(i13));
        _mm_store_pd(d[4] + 2 * t, _mm256_extractf128_pd(r02, 1));
        _mm_store_pd(d[5] + 2 * t, _mm256_extractf128_pd(i02, 1));
    }
};

// Column u of one chunk's twiddles (see stage_pair).
template <std::size_t C>
ZRDSP_AVX_KERNEL PairTwiddles pair_twiddles_at(double (*w)[C], std::size_t u) {
    return PairTwiddles{_mm256_load_pd(w[0] + 2 * u), _mm256_load_pd(w[1] + 2 * u),
                        _mm256_load_pd(w[2] + 2 * u), _mm256_load_pd(w[3] + 2 * u),
                        _mm256_load_pd(w[4] + 2 * u), _mm256_load_pd(w[5] + 2 * u)};
}

// Stages s and s+1 over count points (h = 2^s >= kChunkColumns columns). The
// second stage needs w_(s+1)[m] and w_(s+1)[m+h] together, so its recurrence
// is run h steps ahead (given in pre when PairPrefixes ran it, else here),
// then both of its positions advance side by side with the recurrence of
// stage s.
template <typename T>
__attribute__((target("avx"))) void stage_pair(T* data, std::size_t count, unsigned s,
                                               const StageSines& sines, const ChainStart* pre) {
    const std::size_t h = std::size_t{1} << s;
    TwiddleChain<T> cs;
    cs.start(sines.stage(s));
    TwiddleChain<T> ca, cb;
    if (pre != nullptr) {
        ca.wpr = cb.wpr = pre->wpr;
        ca.wpi = cb.wpi = pre->wpi;
        cb.wr = pre->wr;
        cb.wi = pre->wi;
    } else {
        ca.start(sines.stage(s + 1));
        cb = ca;
        for (std::size_t k = 0; k < h; ++k)
            cb.step();
    }
    // Twiddles of one chunk of columns: w_s, w_(s+1)[m], w_(s+1)[m+h] (r, i).
    // While one chunk's butterflies run, the recurrences produce the next
    // chunk's twiddles, two columns per column pair, so the dependent chain
    // of the recurrence overlaps the butterflies instead of preceding them.
    alignas(32) double buf[2][6][2 * kChunkColumns];
    PairChains chains(cs, ca, cb);
    for (std::size_t t = 0; t < kChunkColumns; ++t) {
        chains.put<T>(buf[0], t);
        chains.step();
    }
    const std::size_t span = 4 * h;
    int cur = 0;
    for (std::size_t c0 = 0; c0 < h; c0 += kChunkColumns) {
        const bool more = c0 + kChunkColumns < h;
        double(*w)[2 * kChunkColumns] = buf[cur];
        double(*next)[2 * kChunkColumns] = buf[cur ^ 1];
        // Groups outside, columns inside: each group's columns are contiguous
        // (a group-inside order would stride by 4h and thrash cache sets).
        // The first group's loop also produces the next chunk's twiddles.
        for (std::size_t g = 0; g < count; g += span) {
            T* x = data + 2 * (g + c0);
            const bool produce_here = more && g == 0;
            for (std::size_t t = 0; t < kChunkColumns; t += 2) {
                if (produce_here) {
                    chains.put<T>(next, t);
                    chains.step();
                    chains.put<T>(next, t + 1);
                    chains.step();
                }
                if (t % 4 == 2) // columns t-2 and t together
                    radix4_pair2(x + 2 * (t - 2), x + 2 * t, h, pair_twiddles_at(w, t - 2),
                                 pair_twiddles_at(w, t));
            }
        }
        cur ^= 1;
    }
}

// All butterfly stages of a bit-reversed array of count >= 8 points.
template <typename T>
__attribute__((target("avx"))) void butterfly_stages_fast(T* data, std::size_t count, int direction,
                                                          ChainAhead* ahead = nullptr) {
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < count)
        ++bits;
    // Blocks of 2^low points, low = kBlockBits or one less, so that the
    // stages after the blocks come in whole pairs.
    unsigned low = bits < kBlockBits ? bits : kBlockBits;
    if ((bits - low) % 2 == 1)
        --low;
    const StageSines sines(bits, direction);
    PairPrefixes prefixes(low, bits, sines);
    if (ahead != nullptr)
        prefixes.extra = *ahead;
    {
        LowTwiddles<T> tw;
        fill_low_twiddles(tw, low, sines, data, prefixes);
        const std::size_t block = std::size_t{1} << low;
        for (std::size_t b = 0; b < count; b += block)
            block_stages(data + 2 * b, low, tw, b == 0, prefixes);
    }
    prefixes.finish();
    if (ahead != nullptr)
        *ahead = prefixes.extra;
    for (unsigned s = low; s < bits; s += 2) {
        const int lane = prefixes.lane_of(s);
        stage_pair(data, count, s, sines, lane >= 0 ? &prefixes.start[lane] : nullptr);
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

// The same reordering, tile by tile. A point index of L >= 6 bits reads
// (hi, mid, lo) with 3-bit hi and lo; its reversal is (rev lo, rev mid,
// rev hi). For one value of mid, the 64 points (hi, mid, lo) lie in 8 short
// contiguous runs, and so do their partners: a tile and its partner tile are
// swapped whole, and a tile that is its own partner swaps each pair once.
// The branchy counter walk of bit_reverse and its scattered accesses are
// replaced by 64 swaps over a few cache lines at a time; the permutation,
// and so every value, is the same.
inline std::size_t reverse_bits(std::size_t v, unsigned bits) {
    std::size_t r = 0;
    for (unsigned b = 0; b < bits; ++b) {
        r = (r << 1) | (v & 1);
        v >>= 1;
    }
    return r;
}

// Exchanges two points (two elements each) as whole values.
template <typename T> inline void swap_point(T* a, T* b) {
    T ta[2], tb[2];
    std::memcpy(ta, a, sizeof ta);
    std::memcpy(tb, b, sizeof tb);
    std::memcpy(a, tb, sizeof tb);
    std::memcpy(b, ta, sizeof ta);
}

// The 28 exchanges inside a tile that is its own partner: 6-bit positions
// (hi, lo) paired with (rev lo, rev hi), each pair once.
struct SelfTilePairs {
    unsigned char a[28], b[28];
    constexpr SelfTilePairs() : a(), b() {
        constexpr unsigned char rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
        int n = 0;
        for (unsigned i = 0; i < 64; ++i) {
            const unsigned j = (rev3[i & 7] << 3) | rev3[i >> 3];
            if (j > i) {
                a[n] = static_cast<unsigned char>(i);
                b[n] = static_cast<unsigned char>(j);
                ++n;
            }
        }
    }
};

// For small counts, the exchanges of the reordering listed once, at compile
// time: point pairs (a, b), a < b, of counts 2^0 .. 2^kListBits, each pair
// once, so the reordering is a run of straight swaps. (An index list, not
// a twiddle table: no arithmetic value is kept.)
inline constexpr unsigned kListBits = 10;
struct SwapList {
    static constexpr std::size_t kPairs = 961; // pairs of counts 2^0 .. 2^10
    std::uint16_t a[kPairs] = {}, b[kPairs] = {};
    std::size_t start[kListBits + 2] = {}; // pairs of 2^bits: start[bits] .. start[bits+1]
    constexpr SwapList() {
        std::size_t n = 0;
        for (unsigned bits = 0; bits <= kListBits; ++bits) {
            start[bits] = n;
            for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
                std::size_t r = 0;
                for (unsigned k = 0; k < bits; ++k)
                    r |= ((i >> k) & 1) << (bits - 1 - k);
                if (r > i) {
                    a[n] = static_cast<std::uint16_t>(i);
                    b[n] = static_cast<std::uint16_t>(r);
                    ++n;
                }
            }
        }
        start[kListBits + 1] = n;
    }
};

template <typename T> void bit_reverse_listed(T* data, unsigned bits) {
    static constexpr SwapList list{};
    static_assert(list.start[kListBits + 1] == SwapList::kPairs);
    for (std::size_t k = list.start[bits]; k < list.start[bits + 1]; ++k)
        swap_point(data + 2 * std::size_t{list.a[k]}, data + 2 * std::size_t{list.b[k]});
}

template <typename T> void bit_reverse_tiled(T* data, std::size_t count) {
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < count)
        ++bits;
    if (bits <= kListBits) {
        bit_reverse_listed(data, bits);
        return;
    }
    static constexpr std::size_t rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    static constexpr SelfTilePairs self{};
    const unsigned mid_bits = bits - 6;
    const unsigned top = bits - 3;
    for (std::size_t mid = 0; mid < (std::size_t{1} << mid_bits); ++mid) {
        const std::size_t rmid = reverse_bits(mid, mid_bits);
        T* const tile = data + 2 * (mid << 3);
        if (rmid == mid) {
            // Its own partner: each pair once.
            for (int k = 0; k < 28; ++k) {
                const std::size_t i = self.a[k], j = self.b[k];
                swap_point(tile + 2 * (((i >> 3) << top) | (i & 7)),
                           tile + 2 * (((j >> 3) << top) | (j & 7)));
            }
            continue;
        }
        if (rmid < mid)
            continue; // swapped together with its partner tile
        // Point (hi, mid, lo) and its partner (rev lo, rmid, rev hi).
        T* const partner = data + 2 * (rmid << 3);
        for (std::size_t hi = 0; hi < 8; ++hi) {
            T* const arow = tile + 2 * (hi << top);
            T* const bcol = partner + 2 * rev3[hi];
            for (std::size_t lo = 0; lo < 8; ++lo)
                swap_point(arow + 2 * lo, bcol + 2 * (rev3[lo] << top));
        }
    }
}

// Complex transform of `count` interleaved points in place, unnormalised.
// direction +1: kernel e^(-2 pi i kn/N); -1: e^(+2 pi i kn/N).
// count must be a power of two >= 1 (the caller checks). If ahead is given,
// that recurrence is completed too, partly in the transform's spare time.
template <typename T>
void fft_complex(T* data, std::size_t count, int direction, ChainAhead* ahead = nullptr) {
    bit_reverse_tiled(data, count);
#ifdef ZRDSP_HAVE_AVX_PATH
    if (cpu_has_avx() && count >= 8) {
        butterfly_stages_fast(data, count, direction, ahead);
        return;
    }
    if (cpu_has_avx())
        butterfly_stages_avx(data, 2 * count, direction);
    else
        butterfly_stages_portable(data, 2 * count, direction);
#else
    butterfly_stages_portable(data, 2 * count, direction);
#endif
    if (ahead != nullptr)
        ahead->finish();
}

// Step constants of the split recurrence of angle theta.
struct SplitTwiddle {
    double wpr, wpi;
    explicit SplitTwiddle(double theta) {
        const double s = std::sin(0.5 * theta);
        wpr = -2.0 * s * s;
        wpi = std::sin(theta);
    }
};

// GCC 12's straight-line vectoriser drops the float rounding of values that
// are widened back to double (static_cast<double>(static_cast<float>(v))),
// which the single-precision split step depends on. The scalar split code is
// therefore compiled without it.
#if defined(__GNUC__) && !defined(__clang__)
#define ZRDSP_KEEP_ROUNDING __attribute__((optimize("no-tree-slp-vectorize")))
#else
#define ZRDSP_KEEP_ROUNDING
#endif

// Split/merge of bin k with bin n/2-k of the packed array, twiddle (wr, wi).
template <typename T>
ZRDSP_KEEP_ROUNDING inline void split_bin(T* data, std::size_t half, std::size_t k, double c2,
                                          double wr, double wi) {
    using P = Precision<T>;
    const double c1 = 0.5;
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
}

// After the bins: positions 0 and 1 combined, and the sign of the imaginary
// part of bin n/4 flipped.
template <typename T> ZRDSP_KEEP_ROUNDING void split_ends(T* data, std::size_t n) {
    const double f = data[0];
    const double g = data[1];
    data[0] = static_cast<T>(f + g);
    data[1] = static_cast<T>(f - g);
    data[n / 2 + 1] = -data[n / 2 + 1];
}

// Split/merge step of the real transform on the packed array of n reals:
// pairs bin k with bin n/2-k using the twiddle recurrence of angle theta
// (bins k = 1 .. n/4-1, twiddle at bin 1: (1 + wpr, wpi)), then split_ends.
template <typename T>
ZRDSP_KEEP_ROUNDING void real_split(T* data, std::size_t n, double theta, double c2) {
    const SplitTwiddle st(theta);
    double wr = 1.0 + st.wpr;
    double wi = st.wpi;
    for (std::size_t k = 1; k < n / 4; ++k) {
        split_bin(data, n / 2, k, c2, wr, wi);
        advance_twiddle(wr, wi, st.wpr, st.wpi);
    }
    split_ends(data, n);
}

// The same step with the bins in two halves, [1, n/8) and [n/8, n/4), done
// side by side: b holds the recurrence already advanced to bin n/8, so the
// two halves' chains of dependent operations run at the same time. Every
// bin gets the same twiddle and operands as in real_split (the halves touch
// disjoint bins).
template <typename T>
ZRDSP_KEEP_ROUNDING void real_split_halves_portable(T* data, std::size_t n, const SplitTwiddle& st,
                                                    double c2, const ChainAhead& b) {
    const std::size_t half = n / 2;
    const std::size_t mid = n / 8;
    double ar = 1.0 + st.wpr, ai = st.wpi;
    double br = b.wr, bi = b.wi;
    for (std::size_t k = 1; k < mid; ++k) {
        split_bin(data, half, k, c2, ar, ai);
        split_bin(data, half, k + mid - 1, c2, br, bi);
        advance_twiddle(ar, ai, st.wpr, st.wpi);
        advance_twiddle(br, bi, st.wpr, st.wpi);
    }
    split_bin(data, half, n / 4 - 1, c2, br, bi); // the second half has one bin more
    split_ends(data, n);
}

#ifdef ZRDSP_HAVE_AVX_PATH
// advance_twiddle in both lanes.
inline void advance_twiddle2(__m128d& wr, __m128d& wi, __m128d wpr, __m128d wpi) {
    const __m128d t = wr;
    wr = _mm_add_pd(_mm_sub_pd(_mm_mul_pd(wr, wpr), _mm_mul_pd(wi, wpi)), wr);
    wi = _mm_add_pd(_mm_add_pd(_mm_mul_pd(wi, wpr), _mm_mul_pd(t, wpi)), wi);
}

// Two neighbouring points of each half, as the lanes (a, a+1, b, b+1) of
// their real and imaginary parts, widened to double; "down": lanes
// (a+1, a, b+1, b), for the partner bins, which descend while the bins
// ascend. And the way back, rounded to T.
ZRDSP_AVX_KERNEL void load_pairs(const float* a, const float* b, bool down, __m256d& re,
                                 __m256d& im) {
    const __m128 x = _mm_loadu_ps(a), y = _mm_loadu_ps(b);
    if (down) {
        re = _mm256_cvtps_pd(_mm_shuffle_ps(x, y, _MM_SHUFFLE(0, 2, 0, 2)));
        im = _mm256_cvtps_pd(_mm_shuffle_ps(x, y, _MM_SHUFFLE(1, 3, 1, 3)));
    } else {
        re = _mm256_cvtps_pd(_mm_shuffle_ps(x, y, _MM_SHUFFLE(2, 0, 2, 0)));
        im = _mm256_cvtps_pd(_mm_shuffle_ps(x, y, _MM_SHUFFLE(3, 1, 3, 1)));
    }
}
ZRDSP_AVX_KERNEL void load_pairs(const double* a, const double* b, bool down, __m256d& re,
                                 __m256d& im) {
    const __m256d x = _mm256_loadu_pd(a), y = _mm256_loadu_pd(b);
    const __m256d lo = _mm256_permute2f128_pd(x, y, 0x20);
    const __m256d hi = _mm256_permute2f128_pd(x, y, 0x31);
    re = down ? _mm256_unpacklo_pd(hi, lo) : _mm256_unpacklo_pd(lo, hi);
    im = down ? _mm256_unpackhi_pd(hi, lo) : _mm256_unpackhi_pd(lo, hi);
}
ZRDSP_AVX_KERNEL void store_pairs(float* a, float* b, bool down, __m256d re, __m256d im) {
    const __m128 r = _mm256_cvtpd_ps(re), i = _mm256_cvtpd_ps(im);
    __m128 x = _mm_unpacklo_ps(r, i), y = _mm_unpackhi_ps(r, i);
    if (down) {
        x = _mm_shuffle_ps(x, x, _MM_SHUFFLE(1, 0, 3, 2));
        y = _mm_shuffle_ps(y, y, _MM_SHUFFLE(1, 0, 3, 2));
    }
    _mm_storeu_ps(a, x);
    _mm_storeu_ps(b, y);
}
ZRDSP_AVX_KERNEL void store_pairs(double* a, double* b, bool down, __m256d re, __m256d im) {
    const __m256d first = _mm256_unpacklo_pd(re, im);
    const __m256d second = _mm256_unpackhi_pd(re, im);
    const __m256d lo = down ? second : first, hi = down ? first : second;
    _mm256_storeu_pd(a, _mm256_permute2f128_pd(lo, hi, 0x20));
    _mm256_storeu_pd(b, _mm256_permute2f128_pd(lo, hi, 0x31));
}
// real_split_halves_portable on the AVX unit: each round takes two
// neighbouring bins of each half (k, k+1 and k+mid-1, k+mid) in the four
// lanes; the two halves' recurrences run in the two lanes of one vector,
// stepped twice per round. Every lane performs split_bin's and
// advance_twiddle's operations in their order.
template <typename T>
__attribute__((target("avx"))) void real_split_halves_avx(T* data, std::size_t n,
                                                          const SplitTwiddle& st, double c2,
                                                          const ChainAhead& b) {
    using R = RoundTo<T>;
    const std::size_t half = n / 2;
    const std::size_t mid = n / 8;
    const __m256d c1v = _mm256_set1_pd(0.5);
    const __m256d c2v = _mm256_set1_pd(c2);
    const __m256d mc2v = _mm256_set1_pd(-c2);
    const __m128d wpr = _mm_set1_pd(st.wpr);
    const __m128d wpi = _mm_set1_pd(st.wpi);
    __m128d wr = _mm_set_pd(b.wr, 1.0 + st.wpr);
    __m128d wi = _mm_set_pd(b.wi, st.wpi);
    std::size_t k = 1;
    for (; k + 1 < mid; k += 2) {
        const __m128d r0 = wr, i0 = wi;
        advance_twiddle2(wr, wi, wpr, wpi);
        const __m128d r1 = wr, i1 = wi;
        advance_twiddle2(wr, wi, wpr, wpi);
        const __m256d wrv = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_unpacklo_pd(r0, r1)),
                                                 _mm_unpackhi_pd(r0, r1), 1);
        const __m256d wiv = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_unpacklo_pd(i0, i1)),
                                                 _mm_unpackhi_pd(i0, i1), 1);
        T* const ka = data + 2 * k;
        T* const kb = data + 2 * (k + mid - 1);
        T* const qa = data + 2 * (half - k - 1);
        T* const qb = data + 2 * (half - k - mid);
        __m256d rk, ik, rq, iq;
        load_pairs(ka, kb, false, rk, ik);
        load_pairs(qa, qb, true, rq, iq);
        const __m256d h1r = R::apply(_mm256_mul_pd(c1v, _mm256_add_pd(rk, rq)));
        const __m256d h1i = R::apply(_mm256_mul_pd(c1v, _mm256_sub_pd(ik, iq)));
        const __m256d h2r = R::apply(_mm256_mul_pd(mc2v, _mm256_add_pd(ik, iq)));
        const __m256d h2i = R::apply(_mm256_mul_pd(c2v, _mm256_sub_pd(rk, rq)));
        const __m256d wrm = R::apply(wrv);
        const __m256d wim = R::apply(wiv);
        const __m256d a = _mm256_mul_pd(wrm, h2r), bb = _mm256_mul_pd(wim, h2i);
        const __m256d c = _mm256_mul_pd(wrm, h2i), d = _mm256_mul_pd(wim, h2r);
        store_pairs(ka, kb, false, _mm256_sub_pd(_mm256_add_pd(h1r, a), bb),
                    _mm256_add_pd(_mm256_add_pd(h1i, c), d));
        // -h1i + c computed as c - h1i: the same value (signed zeros
        // included), and the same NaN as the compiled scalar expression.
        store_pairs(qa, qb, true, _mm256_add_pd(_mm256_sub_pd(h1r, a), bb),
                    _mm256_add_pd(_mm256_sub_pd(c, h1i), d));
    }
    // Left: bin mid-1 of the first half, bins 2mid-2 and 2mid-1 (= n/4-1) of
    // the second.
    alignas(16) double r[2], im[2];
    _mm_store_pd(r, wr);
    _mm_store_pd(im, wi);
    split_bin(data, half, k, c2, r[0], im[0]);
    split_bin(data, half, k + mid - 1, c2, r[1], im[1]);
    advance_twiddle(r[1], im[1], st.wpr, st.wpi);
    split_bin(data, half, k + mid, c2, r[1], im[1]);
    split_ends(data, n);
}
#endif

// Real transform of n samples in place (n a power of two >= 4; the caller
// checks). direction exactly 1: forward, samples in, packed spectrum out
// (data[0] = X[0], data[1] = X[n/2], data[2k], data[2k+1] = X[k]). Any other
// direction: inverse, packed spectrum in, n/2 times the samples out.
template <typename T> void fft_real(T* data, std::size_t n, int direction) {
    const double theta = kPi / static_cast<double>(n / 2);
    if (direction == 1) {
        if (n >= 64) {
            // The split's recurrence is run to bin n/8 during the complex
            // transform, so the split can do its two halves side by side.
            const SplitTwiddle st(-theta);
            ChainAhead b{1.0 + st.wpr, st.wpi, st.wpr, st.wpi, n / 8 - 1};
            fft_complex(data, n / 2, 1, &b);
#ifdef ZRDSP_HAVE_AVX_PATH
            if (cpu_has_avx())
                real_split_halves_avx(data, n, st, -0.5, b);
            else
#endif
                real_split_halves_portable(data, n, st, -0.5, b);
        } else {
            fft_complex(data, n / 2, 1);
            real_split(data, n, -theta, -0.5);
        }
    } else {
        real_split(data, n, theta, 0.5);
        data[0] = static_cast<T>(0.5 * data[0]);
        data[1] = static_cast<T>(0.5 * data[1]);
        fft_complex(data, n / 2, -1);
    }
}

} // namespace zr::dsp

#endif

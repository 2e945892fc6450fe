// Fractional resampling with an 11-tap sum-of-cosines interpolation kernel,
// and the continuous frequency response of that kernel.
#include "zrdsp_32.h"

#include <array>
#include <cmath>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
#include <immintrin.h>
#endif

namespace {

constexpr int kTaps = 11;
constexpr int kPerSample = 380;        // table entries per input-sample period
constexpr int kTableSize = 2091;       // K(0) .. K(5.5)
constexpr double kCentreBelow = -6.5;  // lead-in: positions at or below this give 0
constexpr double kConsumeAbove = -5.5; // positions above this need another input

// The kernel table, built once per process. One zero entry past the end
// (K is zero beyond 5.5) keeps the mirrored read of the last tap in range
// for every position the loop can present. The entries are single-precision
// values; they are also held widened to double (exactly the same values) so
// that the inner loop reads them without conversion.
struct KernelTable {
    std::array<float, kTableSize + 1> t{};
    std::array<double, kTableSize + 1> d{};

    KernelTable() {
        const float a[5] = {1.539081f, 0.683614f, 0.15986f, 0.015624f, 0.000297f};
        const float f = 0.09090909f;
        const float delta = 0.0015031544f;
        double angle = 0.0;
        for (int m = 0; m < kTableSize; ++m) {
            double sum = 0.0;
            for (int i = 0; i < 5; ++i) {
                sum += static_cast<double>(a[i]) * std::cos((i + 1) * angle);
            }
            t[static_cast<std::size_t>(m)] =
                static_cast<float>(static_cast<double>(f) * (1.0 + sum));
            angle += static_cast<double>(delta);
        }
        t[kTableSize] = 0.0f;
        for (int m = 0; m <= kTableSize; ++m) {
            const auto k = static_cast<std::size_t>(m);
            d[k] = static_cast<double>(t[k]);
        }
    }
};

// Built on first use; the initialisation of a function-local static is
// guarded, so two threads making their first call at once both see the
// completed table.
const double* kernel_table() {
    static const KernelTable table;
    return table.d.data();
}

// u rounded to the precision of the resampler's element type before the
// ceiling is taken.
template <typename T> double round_u(double u) {
    return static_cast<double>(static_cast<T>(u));
}

// The 11 tap weights for table position u in (1710, 2090]: tap k sits at
// kernel position u - 380k table steps and is interpolated linearly between
// the two neighbouring entries. While c - 380k >= 1 (taps 0..4 for
// c <= 1900, taps 0..5 above) the table is read forward, the other taps
// read its mirror image (K is even). Unrolled at compile time.
template <int Direct>
void tap_weights(const double* tab, int c, double alpha, double beta, double* wt) {
    [&]<int... K>(std::integer_sequence<int, K...>) {
        ((wt[K] = K < Direct
                      ? alpha * tab[c - kPerSample * K] + beta * tab[c - kPerSample * K - 1]
                      : alpha * tab[kPerSample * K - c] + beta * tab[kPerSample * K - c + 1]),
         ...);
    }
    (std::make_integer_sequence<int, kTaps>{});
}

void weights_at(const double* tab, double u, int c, double* wt) {
    const double beta = c - u;
    const double alpha = 1.0 - beta;
    if (c - kPerSample * 5 >= 1) {
        tap_weights<6>(tab, c, alpha, beta, wt);
    } else {
        tap_weights<5>(tab, c, alpha, beta, wt);
    }
}

// The weights are a function of the table position u alone, and a steady
// step visits the same few positions again and again. A small cache, held
// for one call and indexed by the low bits of ceil(u), keeps the weights of
// recent positions; an entry is used only for exactly the same u, so the
// outputs are the same as with the weights formed afresh.
struct WeightCache {
    static constexpr int kSlots = 32;
    double u[kSlots];
    double w[kSlots][kTaps];

    WeightCache() {
        for (double& v : u) {
            v = -1.0; // never a valid position
        }
    }

    static int slot_of(double pos) { return static_cast<int>(std::ceil(pos)) & (kSlots - 1); }

    const double* lookup(const double* tab, double pos) {
        const int c = static_cast<int>(std::ceil(pos));
        const int slot = c & (kSlots - 1);
        if (u[slot] != pos) {
            weights_at(tab, pos, c, w[slot]);
            u[slot] = pos;
        }
        return w[slot];
    }
};

// Every output between two consumed inputs reads the same 11-sample window,
// and with a steady step the run of positions after each consumed input is
// the same run every time (the position arithmetic is exact and repeats). A
// group remembers one such run: its first position, its length, the position
// after it, and its weights laid out tap by tap across the outputs, so that
// the outputs of a run can be formed side by side. A group is used only for
// exactly the same first position, so it holds exactly the weights the
// outputs would get one by one.
template <typename T> struct GroupCache {
    static constexpr int kSlots = 8;
    static constexpr int kMaxRun = 16; // outputs per group; longer runs go one by one
    struct Group {
        T first;
        T after;
        int length; // 0: empty slot
        alignas(32) double w[kTaps][kMaxRun];
    };
    Group g[kSlots];

    GroupCache() {
        for (Group& e : g) {
            e.length = 0;
        }
    }

    static double table_position(T p) {
        return round_u<T>((static_cast<double>(p) + 11.0) * kPerSample);
    }
    static int slot_of(T p) {
        return static_cast<int>(std::ceil(table_position(p))) & (kSlots - 1);
    }

    // The group of the run starting at p, built if it is not held yet.
    // nullptr when the run is longer than kMaxRun.
    const Group* find(const double* tab, WeightCache& wc, T p, T step) {
        Group& e = g[slot_of(p)];
        if (e.length > 0 && e.first == p) {
            return &e;
        }
        T q = p;
        int n = 0;
        while (!(q > static_cast<T>(kConsumeAbove))) {
            if (n == kMaxRun) {
                e.length = 0;
                return nullptr;
            }
            const double* wt = wc.lookup(tab, table_position(q));
            for (int k = 0; k < kTaps; ++k) {
                e.w[k][n] = wt[k];
            }
            q = q + step;
            ++n;
        }
        for (int j = n; j < kMaxRun; ++j) {
            for (int k = 0; k < kTaps; ++k) {
                e.w[k][j] = 0.0;
            }
        }
        e.first = p;
        e.after = q;
        e.length = n;
        return &e;
    }
};

// Outputs of one group on the window xw: output j is the sum over k, in
// order, of w[k][j] * xw[k], starting from 0 (as the outputs formed one by
// one). Portable: the compiler may spread the independent outputs over
// vector lanes; each output keeps its own order of additions.
template <typename T>
void group_outputs_portable(const double (*w)[GroupCache<T>::kMaxRun], int n, const double* xw,
                            T* output) {
    constexpr int kMax = GroupCache<T>::kMaxRun;
    double acc[static_cast<std::size_t>(kMax)] = {};
    for (int k = 0; k < kTaps; ++k) {
        for (int j = 0; j < kMax; ++j) {
            acc[j] += w[k][j] * xw[k];
        }
    }
    for (int j = 0; j < n; ++j) {
        output[j] = static_cast<T>(acc[j]);
    }
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
// The same with AVX: four outputs per vector, a multiply then an add per tap
// (no fused multiply-add), so every lane rounds as the scalar sum does. The
// vectors of a group advance together, so their chains of additions overlap
// instead of waiting on each other.
template <typename T>
__attribute__((target("avx"))) void group_outputs_avx(const double (*w)[GroupCache<T>::kMaxRun],
                                                      int n, const double* xw, T* output) {
    constexpr int kMax = GroupCache<T>::kMaxRun;
    static_assert(kMax == 16, "four vectors of four outputs");
    alignas(32) double acc[static_cast<std::size_t>(kMax)];
    __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
    if (n <= 8) {
        for (int k = 0; k < kTaps; ++k) {
            const __m256d x = _mm256_set1_pd(xw[k]);
            a0 = _mm256_add_pd(a0, _mm256_mul_pd(_mm256_load_pd(&w[k][0]), x));
            a1 = _mm256_add_pd(a1, _mm256_mul_pd(_mm256_load_pd(&w[k][4]), x));
        }
    } else {
        for (int k = 0; k < kTaps; ++k) {
            const __m256d x = _mm256_set1_pd(xw[k]);
            a0 = _mm256_add_pd(a0, _mm256_mul_pd(_mm256_load_pd(&w[k][0]), x));
            a1 = _mm256_add_pd(a1, _mm256_mul_pd(_mm256_load_pd(&w[k][4]), x));
            a2 = _mm256_add_pd(a2, _mm256_mul_pd(_mm256_load_pd(&w[k][8]), x));
            a3 = _mm256_add_pd(a3, _mm256_mul_pd(_mm256_load_pd(&w[k][12]), x));
        }
    }
    _mm256_store_pd(acc, a0);
    _mm256_store_pd(acc + 4, a1);
    _mm256_store_pd(acc + 8, a2);
    _mm256_store_pd(acc + 12, a3);
    for (int j = 0; j < n; ++j) {
        output[j] = static_cast<T>(acc[j]);
    }
}
#endif

template <typename T>
void group_outputs(const double (*w)[GroupCache<T>::kMaxRun], int n, const double* xw, T* output) {
#if defined(__x86_64__) && defined(__GNUC__) && !defined(ZRDSP_PORTABLE_ONLY)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) {
        group_outputs_avx<T>(w, n, xw, output);
        return;
    }
#endif
    group_outputs_portable<T>(w, n, xw, output);
}

template <typename T>
void resample_impl(const T* input, int32_t count, T* output, int32_t maxout, int32_t* produced,
                   T* position, T step, T* history) {
    const double* tab = kernel_table();
    *produced = 0;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(*position)) {
        return;
    }
    if (count < 0) {
        count = 0;
    }
    if (maxout < 0) {
        maxout = 0;
    }

    T p = *position;
    int32_t out = 0;

    // Lead-in: outputs that lie before the whole history give zero.
    while (p <= static_cast<T>(kCentreBelow)) {
        if (out >= maxout) {
            *position = p;
            *produced = out;
            return;
        }
        output[out] = static_cast<T>(0);
        p = p + step;
        ++out;
    }

    // The 11-sample window is the tail of (history, input[0 .. i-1]). While
    // fewer than 11 inputs are consumed it lies in ext; afterwards it is
    // read straight from the input block.
    T ext[2 * kTaps];
    for (int j = 0; j < kTaps; ++j) {
        ext[j] = history[j];
    }
    const int32_t early = count < kTaps ? count : kTaps;
    for (int32_t j = 0; j < early; ++j) {
        ext[kTaps + j] = input[j];
    }

    WeightCache cache;
    GroupCache<T> groups;
    int32_t i = 0;
    while (out < maxout) {
        if (p > static_cast<T>(kConsumeAbove)) {
            if (i >= count) {
                break;
            }
            ++i;
            p = p - static_cast<T>(1);
        } else {
            // Every output up to the next input shares this window.
            const T* w = (i <= kTaps) ? ext + i : input + (i - kTaps);
            double xw[kTaps];
            for (int k = 0; k < kTaps; ++k) {
                xw[k] = static_cast<double>(w[k]);
            }
            // A whole run of outputs from a group when it fits the output.
            const typename GroupCache<T>::Group* grp = groups.find(tab, cache, p, step);
            if (grp != nullptr && grp->length <= maxout - out) {
                group_outputs<T>(grp->w, grp->length, xw, output + out);
                out += grp->length;
                p = grp->after;
                continue;
            }
            do {
                const double u = round_u<T>((static_cast<double>(p) + 11.0) * kPerSample);
                const double* wt = cache.lookup(tab, u);
                const T p1 = p + step;
                const double u1 = (out + 1 < maxout && !(p1 > static_cast<T>(kConsumeAbove)))
                                      ? round_u<T>((static_cast<double>(p1) + 11.0) * kPerSample)
                                      : -1.0;
                // Two outputs side by side (each summing its taps in order)
                // when a second one shares the window and its weights do not
                // take the first one's cache slot.
                if (u1 > 0.0 && WeightCache::slot_of(u1) != WeightCache::slot_of(u)) {
                    const double* wt1 = cache.lookup(tab, u1);
                    double acc = 0.0;
                    double acc1 = 0.0;
                    for (int k = 0; k < kTaps; ++k) {
                        acc += wt[k] * xw[k];
                        acc1 += wt1[k] * xw[k];
                    }
                    output[out] = static_cast<T>(acc);
                    output[out + 1] = static_cast<T>(acc1);
                    out += 2;
                    p = p1 + step;
                } else {
                    double acc = 0.0;
                    for (int k = 0; k < kTaps; ++k) {
                        acc += wt[k] * xw[k];
                    }
                    output[out] = static_cast<T>(acc);
                    ++out;
                    p = p1;
                }
            } while (out < maxout && !(p > static_cast<T>(kConsumeAbove)));
        }
    }

    // The history becomes the last 11 samples consumed (with the old
    // history in front when fewer were consumed).
    if (i >= kTaps) {
        for (int j = 0; j < kTaps; ++j) {
            history[j] = input[i - kTaps + j];
        }
    } else if (i > 0) {
        for (int j = 0; j < kTaps; ++j) {
            history[j] = ext[i + j];
        }
    }
    *position = p;
    *produced = out;
}

} // namespace

extern "C" {

ZRDSP_API void ZRDSP_CALL zrdsp_resample(const float* input, int32_t count, float* output,
                                         int32_t maxout, int32_t* produced, float* position,
                                         float step, float* history) {
    resample_impl(input, count, output, maxout, produced, position, step, history);
}

ZRDSP_API void ZRDSP_CALL zrdsp_resample_double(const double* input, int32_t count, double* output,
                                                int32_t maxout, int32_t* produced, double* position,
                                                double step, double* history) {
    resample_impl(input, count, output, maxout, produced, position, step, history);
}

ZRDSP_API void ZRDSP_CALL zrdsp_resamp_resp(double* response, int32_t count, double f1, double f2) {
    if (count < 1) {
        return;
    }
    static const double b[6] = {1.0, -1.539081, 0.683614, -0.15986, 0.015624, -0.000297};
    const double dc = (count > 1) ? 11.0 * (f2 - f1) / (count - 1) : 0.0;
    double c = 11.0 * f1;
    for (int32_t i = 0; i < count; ++i) {
        const double c2 = c * c;
        const double sn = std::sin(3.141592653589793 * c);
        double sum = 0.0;
        for (int j = 0; j < 6; ++j) {
            const double e = c2 - static_cast<double>(j * j);
            if (-0.0001 < e && e < 0.0001) {
                sum = (j == 0) ? 1.0 : std::fabs(b[j]) / 2.0;
                break;
            }
            sum += -c * sn * b[j] * (-0.3183098861837907) / e;
        }
        response[i] = sum;
        c += dc;
    }
}

} // extern "C"

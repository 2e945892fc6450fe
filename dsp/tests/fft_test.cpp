// Transforms, windows and spectra against independent truth (FFTW, hand-worked
// cases, the figures the header documents); counts outside the contract and a
// heap that cannot supply the work array. Every scale mode, unknown codes and
// in-place use are checked bit for bit in reference_test.cpp.
#include "test_util.h"

#include <fftw3.h>
#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>

namespace {

using zr::test::first_bit_difference;
using zr::test::Lib;
using zr::test::random_block;
using zr::test::sz;

// Machine epsilon of the element type, as a double.
template <typename T> constexpr double eps() {
    return static_cast<double>(std::numeric_limits<T>::epsilon());
}

// RMS error of `got` against `want` over the shorter length, relative to the
// RMS value of `want`, computed in double.
template <typename A, typename B>
double relative_rms_error(const std::vector<A>& got, const std::vector<B>& want) {
    const std::size_t n = std::min(got.size(), want.size());
    double err = 0.0, ref = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = static_cast<double>(want[i]), d = static_cast<double>(got[i]) - w;
        err += d * d;
        ref += w * w;
    }
    return std::sqrt(err / ref);
}

template <typename T> class Fft : public ::testing::Test {};
TYPED_TEST_SUITE(Fft, zr::test::Precisions);
template <typename T> class Window : public ::testing::Test {};
TYPED_TEST_SUITE(Window, zr::test::Precisions);
template <typename T> class Spectrum : public ::testing::Test {};
TYPED_TEST_SUITE(Spectrum, zr::test::Precisions);

// FFTW's complex transform of n interleaved points, in double precision and
// in the library's conventions: direction +1 is e^(-2 pi i kn/N), nothing is
// normalised.
template <typename T> std::vector<double> oracle_fft(const std::vector<T>& in, int n, int dir) {
    std::vector<double> buf(in.begin(), in.end());
    auto* c = reinterpret_cast<fftw_complex*>(buf.data());
    fftw_plan p = fftw_plan_dft_1d(n, c, c, dir == 1 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
    fftw_execute(p);
    fftw_destroy_plan(p);
    return buf;
}

// FFTW's real transform of n values in the packed layout [X0, X(N/2), Re X1,
// Im X1, ...]: forward, or inverse scaled like the library's (n/2 times the
// samples whose forward transform is the given spectrum; FFTW gives n times).
template <typename T>
std::vector<double> oracle_real(const std::vector<T>& in, int n, bool forward) {
    std::vector<double> r(in.begin(), in.end()), c(sz(n + 2), 0.0);
    auto* h = reinterpret_cast<fftw_complex*>(c.data());
    if (!forward) {
        std::copy(in.begin() + 2, in.end(), c.begin() + 2);
        c[0] = in[0];
        c[sz(n)] = in[1];
    }
    fftw_plan p = forward ? fftw_plan_dft_r2c_1d(n, r.data(), h, FFTW_ESTIMATE)
                          : fftw_plan_dft_c2r_1d(n, h, r.data(), FFTW_ESTIMATE);
    fftw_execute(p);
    fftw_destroy_plan(p);
    for (auto& v : r)
        v *= 0.5;
    c[1] = c[sz(n)];
    c.resize(sz(n));
    return forward ? c : r;
}

// Allowed relative RMS error of an n-point transform against FFTW: the
// rounding to T in each of the log2(n) stages, plus the drift of the twiddle
// recurrence, which runs in double. Measured: float 3e-8 (n=2) to 1.1e-7
// (n=65536), double 4e-16 to 7e-15; the limits leave a margin of about 1.5-2.5.
template <typename T> double error_limit(int n) {
    const double stages = std::log2(static_cast<double>(n > 1 ? n : 2));
    return eps<T>() * (0.75 + 0.1 * stages) + eps<double>() * (4.0 + 3.0 * stages);
}

// Every direction other than exactly 1 is the real inverse.
TYPED_TEST(Fft, MatchesFftwEverySizeAndDirection) {
    using T = TypeParam;
    for (int n = 1; n <= 65536; n *= 2) {
        for (int16_t dir : {int16_t(1), int16_t(-1), int16_t(0), int16_t(2)}) {
            if (dir == 1 || dir == -1) {
                auto x = random_block<T>(2 * n, 1000 + n + dir);
                const auto want = oracle_fft(x, n, dir);
                Lib<T>::fft(x.data(), n, dir);
                EXPECT_LT(relative_rms_error(x, want), error_limit<T>(n))
                    << "complex n=" << n << " dir=" << dir;
            }
            if (n < 4)
                continue;
            auto x = random_block<T>(n, 3000 + n + dir);
            const auto want = oracle_real(x, n, dir == 1);
            Lib<T>::fft_real(x.data(), n, dir);
            EXPECT_LT(relative_rms_error(x, want), error_limit<T>(n))
                << "real n=" << n << " dir=" << dir;
        }
    }
}

// Counts outside the contract (the real transform and spectrum need a power
// of two of at least 4, the complex ones at least 1, windows an even count
// of at least 2) and null arrays: nothing is read or written.
TYPED_TEST(Fft, CountsOutsideContractAndNullArraysChangeNothing) {
    using T = TypeParam;
    const auto original = random_block<T>(64, 99);
    const std::vector<T> w(32, T(1));
    for (int32_t n : {0, -1, -2, -64, 1, 2, 3, 6, 12, 31, INT_MIN, INT_MAX, 0x40000001}) {
        auto d = original, s = original;
        for (int16_t dir : {int16_t(1), int16_t(-1)}) {
            Lib<T>::fft_real(d.data(), n, dir);
            if (n != 1 && n != 2)
                Lib<T>::fft(d.data(), n, dir);
        }
        Lib<T>::spectrum(original.data(), s.data(), w.data(), n, 1);
        if (n != 1 && n != 2)
            Lib<T>::cspectrum(original.data(), s.data(), w.data(), n, 1);
        if (n <= 0 || n % 2 != 0)
            Lib<T>::window(s.data(), n, 1, 0, T(1));
        EXPECT_EQ(first_bit_difference(d.data(), original.data(), 64), -1) << "n=" << n;
        EXPECT_EQ(first_bit_difference(s.data(), original.data(), 64), -1) << "n=" << n;
    }
    std::vector<T> s(64, T(-99));
    Lib<T>::fft(nullptr, 8, 1);
    Lib<T>::fft_real(nullptr, 8, 1);
    Lib<T>::window(nullptr, 8, 1, 0, T(1));
    Lib<T>::spectrum(nullptr, s.data(), w.data(), 8, 1);
    Lib<T>::cspectrum(original.data(), s.data(), nullptr, 8, 1);
    EXPECT_EQ(s, std::vector<T>(64, T(-99)));
}

// The mean or RMS value that the flag prescribes, and the coherent gain and
// noise bandwidth the header states per window, taken from the library's
// windows under both scalings; a window scaled to a sum of sqrt(40) makes a
// 1 V peak tone read 10 dBm (power 10 mW into 50 ohm), and a complex tone of
// amplitude 0.5 read 10 dBm too. Every count, type, flag and value is checked
// bit for bit against the literal reference in reference_test.cpp.
TYPED_TEST(Window, DocumentedFiguresAndDbmScale) {
    using T = TypeParam;
    const struct {
        int16_t type;
        double coherent_gain, noise_bandwidth;
    } documented[] = {{ZRDSP_WINDOW_UNIFORM, 1.0, 1.0},
                      {ZRDSP_WINDOW_HANN, 0.5, 1.5},
                      {ZRDSP_WINDOW_GAUSS_TOP, 0.323215, 2.215349685},
                      {ZRDSP_WINDOW_FLAT_TOP, 0.213283, 3.822108760}};
    const int n = 1024, line = 64;
    const double tol = std::is_same_v<T, float> ? 1e-5 : 1e-9;
    std::vector<T> w(sz(n)), x(sz(n)), c(sz(2 * n)), out(sz(n));
    for (std::size_t i = 0; i < sz(n); ++i) {
        const double phase = 2.0 * M_PI * line * static_cast<double>(i) / n;
        x[i] = static_cast<T>(std::cos(phase));
        c[2 * i] = static_cast<T>(0.5 * std::cos(phase));
        c[2 * i + 1] = static_cast<T>(0.5 * std::sin(phase));
    }
    for (const auto& f : documented) {
        SCOPED_TRACE(f.type);
        for (int16_t flag : {int16_t{ZRDSP_SCALE_MEAN}, int16_t{ZRDSP_SCALE_RMS}}) {
            Lib<T>::window(w.data(), n, f.type, flag, T(0.37));
            double peak = 0.0, s1 = 0.0, s2 = 0.0;
            for (T v : w) {
                peak = std::max(peak, static_cast<double>(v));
                s1 += v;
                s2 += static_cast<double>(v) * v;
            }
            EXPECT_NEAR(flag == ZRDSP_SCALE_MEAN ? s1 / n : std::sqrt(s2 / n), 0.37,
                        (8 * eps<T>() + n * eps<double>()) * 0.37);
            EXPECT_NEAR(s1 / n / peak, f.coherent_gain, 1e-6);
            EXPECT_NEAR(n * s2 / (s1 * s1), f.noise_bandwidth, 2e-9 + tol);
        }
        Lib<T>::window(w.data(), n, f.type, ZRDSP_SCALE_MEAN, T(6.32455532 / n));
        Lib<T>::spectrum(x.data(), out.data(), w.data(), n, ZRDSP_DECIBELS);
        EXPECT_NEAR(out[line], 10.0, 1e-4);
        Lib<T>::spectrum(x.data(), out.data(), w.data(), n, ZRDSP_POWER);
        EXPECT_NEAR(out[line], 10.0, 1e-4);
        Lib<T>::spectrum(x.data(), out.data(), w.data(), n, ZRDSP_MAGNITUDE);
        EXPECT_NEAR(out[line], std::sqrt(10.0), 1e-4);
        Lib<T>::cspectrum(c.data(), out.data(), w.data(), n, ZRDSP_DECIBELS);
        EXPECT_NEAR(out[n / 2 + line], 10.0, 1e-4);
    }
}

// Power spectra against FFTW's transform of the windowed block: one-sided for
// a real block, two-sided with zero frequency in the middle for a complex one.
TYPED_TEST(Spectrum, PowerMatchesFftwOfWindowedBlock) {
    using T = TypeParam;
    const double limit = 64 * eps<T>() + 1e-13;
    for (int n = 1; n <= 65536; n *= 2) {
        const std::size_t N = sz(n);
        const auto x = random_block<T>(2 * n, 700 + n);
        std::vector<T> w(N, T(1)), cs(N), rs(N / 2 + 1);
        if (n >= 2)
            Lib<T>::window(w.data(), n, 2, 1, T(1));
        std::vector<double> cw(2 * N), rw(2 * N, 0.0), cwant(N), rwant(N / 2 + 1);
        for (std::size_t i = 0; i < 2 * N; ++i)
            cw[i] = static_cast<double>(x[i]) * w[i / 2];
        for (std::size_t i = 0; i < N; ++i)
            rw[2 * i] = static_cast<double>(x[i]) * w[i];
        const auto C = oracle_fft(cw, n, 1), R = oracle_fft(rw, n, 1);
        for (std::size_t k = 0; k < N; ++k) {
            cwant[(N / 2 + k) % N] = C[2 * k] * C[2 * k] + C[2 * k + 1] * C[2 * k + 1];
            if (k <= N / 2)
                rwant[k] = R[2 * k] * R[2 * k] + R[2 * k + 1] * R[2 * k + 1];
        }
        Lib<T>::cspectrum(x.data(), cs.data(), w.data(), n, ZRDSP_POWER);
        EXPECT_LT(relative_rms_error(cs, cwant), limit) << "complex n=" << n;
        if (n < 4)
            continue;
        Lib<T>::spectrum(x.data(), rs.data(), w.data(), n, ZRDSP_POWER);
        EXPECT_LT(relative_rms_error(rs, rwant), limit) << "real n=" << n;
    }
}

// A heap that cannot supply the work array: the call must return without
// writing instead of crashing. Normally an address-space limit in a child
// process makes the allocation fail; under the address sanitizer (which
// reserves far more address space) its allocator is told to refuse
// allocations above 1 GiB and to return null for them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZR_HAVE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZR_HAVE_ASAN 1
#endif
#endif

template <typename T> int spectrum_under_tight_heap(bool complex) {
#ifndef ZR_HAVE_ASAN
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    if (pages <= 0)
        return 2;
    const rlim_t limit = static_cast<rlim_t>(pages) * 4096 + (rlim_t(256) << 20);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_AS, &rl) != 0)
        return 3;
#endif
    // 2^29 points need a work array of at least 2 GiB; only 16 values exist,
    // so anything but an early return would read or write far out of bounds.
    const int32_t n = 1 << 29;
    std::vector<T> data(16, T(1)), win(16, T(1)), out(16, T(-99));
    (complex ? Lib<T>::cspectrum : Lib<T>::spectrum)(data.data(), out.data(), win.data(), n, 1);
    return out == std::vector<T>(16, T(-99)) ? 0 : 1;
}

TYPED_TEST(Spectrum, FailedWorkAllocationReturnsWithoutWriting) {
    using T = TypeParam;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(spectrum_under_tight_heap<T>(false)), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(spectrum_under_tight_heap<T>(true)), ::testing::ExitedWithCode(0), "");
}

} // namespace

#ifdef ZR_HAVE_ASAN
// Allocations above 1 GiB fail with a null pointer in this test program (under the address or
// the thread sanitizer, whose allocators reserve far more address space than a limit allows).
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
extern "C" const char* __tsan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
#endif

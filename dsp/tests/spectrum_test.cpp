// Analysis windows: hand-worked Hann values, the closed form of every type
// with both scalings, bad counts. Spectra: FFTW as truth (which also fixes
// the placement of the two-sided spectrum), worked cases, bad counts and a
// heap that cannot supply the work array. (Symmetry, single-precision
// rounding, unknown type codes, every scale mode and in-place use are checked
// bit for bit in reference_test.cpp.)
#include "fftw_oracle.h"
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <type_traits>
#include <vector>

namespace {

using zr::test::eps;
using zr::test::random_block;
using zr::test::relative_rms_error;
using zr::test::sz;

template <typename T> class Window : public ::testing::Test {};
TYPED_TEST_SUITE(Window, zr::test::Precisions);
template <typename T> class Spectrum : public ::testing::Test {};
TYPED_TEST_SUITE(Spectrum, zr::test::Precisions);

template <typename T> std::vector<T> window(int count, int16_t type, int16_t flag, T value) {
    std::vector<T> w(sz(count), T(-99));
    zr::test::window(w.data(), count, type, flag, value);
    return w;
}

// Coefficients of each type, written out independently of the library.
const std::vector<std::vector<double>> kCoefficients = {
    {1.0},
    {1.0, 1.0},
    {1.0, 1.45875529058, 0.543087184, 0.08816718498, 0.00390252806},
    {1.0, 1.941109216, 1.308381824, 0.40400112, 0.035108828},
};

// Closed form: sum_k c_k cos(2 pi k (i - count/2) / count).
double closed_form(int type, int count, int i) {
    double v = 0.0;
    const auto& c = kCoefficients[sz(type)];
    for (std::size_t k = 0; k < c.size(); ++k)
        v += c[k] * std::cos(2.0 * M_PI * static_cast<double>(k) * (i - count / 2) / count);
    return v;
}

template <typename T> double sum(const std::vector<T>& w) {
    double s = 0.0;
    for (T v : w)
        s += v;
    return s;
}

template <typename T> double sum_squares(const std::vector<T>& w) {
    double s = 0.0;
    for (T v : w)
        s += static_cast<double>(v) * v;
    return s;
}

TYPED_TEST(Window, HannOfEightPoints) {
    using T = TypeParam;
    const double want[] = {0, 0.292893, 1, 1.707107, 2, 1.707107, 1, 0.292893};
    const auto w = window<T>(8, 1, 0, T(1));
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(w[i], want[i], 1e-6) << "i=" << i;
    EXPECT_NEAR(sum(w), 8.0, 16 * eps<T>());
    EXPECT_NEAR(sum_squares(w), 12.0, 32 * eps<T>());
    // RMS scaling to 1 divides by sqrt(12/8).
    const auto r = window<T>(8, 1, 1, T(1));
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(r[i], want[i] / std::sqrt(1.5), 1e-6) << "i=" << i;
    EXPECT_NEAR(sum_squares(r) / 8.0, 1.0, 16 * eps<T>());
}

// With flag 0 the scale is count * value / S1 and S1 = count whenever the
// count exceeds K-1, so the window equals its closed form times value (the
// front panel asks for a sum of 6.32455532 this way). Any other flag scales
// the RMS value to |value|.
TYPED_TEST(Window, EveryTypeMatchesClosedFormScaledByValue) {
    using T = TypeParam;
    for (int16_t type : {int16_t(0), int16_t(1), int16_t(2), int16_t(3)}) {
        for (int count : {6, 8, 10, 16, 100, 1024, 4096}) {
            for (double value : {1.0, 0.25, -3.0, 6.32455532 / count}) {
                const auto where = ::testing::Message()
                                   << "type=" << type << " count=" << count << " value=" << value;
                const double tol = 8 * eps<T>() * std::fabs(value);
                const auto w = window<T>(count, type, 0, T(value));
                for (int i = 0; i < count; ++i)
                    ASSERT_NEAR(w[sz(i)], value * closed_form(type, count, i), 5 * tol) << where;
                for (int16_t flag : {int16_t(1), int16_t(-1), int16_t(2)}) {
                    const auto r = window<T>(count, type, flag, T(value));
                    // The sum of squares in this test rounds once per value.
                    EXPECT_NEAR(std::sqrt(sum_squares(r) / count), std::fabs(value),
                                tol + count * eps<double>() * std::fabs(value))
                        << where << " flag=" << flag;
                }
            }
        }
    }
}

// Four points: the fifth term does not cancel, S1 = 4 + 4 c4.
TYPED_TEST(Window, FourPointFiveTermWindowsCountTheLastTerm) {
    using T = TypeParam;
    for (int type : {2, 3}) {
        const double c4 = kCoefficients[sz(type)][4];
        const auto w = window<T>(4, int16_t(type), 0, T(1));
        const double g = 4.0 / (4.0 + 4.0 * c4);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(w[sz(i)], g * closed_form(type, 4, i), 8 * eps<T>()) << "type " << type;
        EXPECT_NEAR(sum(w), 4.0, 16 * eps<T>());
    }
    // The two-term window has no such term: S1 = count already at count 2.
    const auto h = window<T>(2, 1, 0, T(1));
    EXPECT_NEAR(sum(h), 2.0, 4 * eps<T>());
    EXPECT_NEAR(h[0], 0.0, 1e-15);
    EXPECT_NEAR(h[1], 2.0, 4 * eps<T>());
}

TYPED_TEST(Window, CountsOutsideContractWriteNothing) {
    using T = TypeParam;
    for (int32_t count : {0, 1, 3, 7, 9, -2, -8, INT_MIN, INT_MAX}) {
        std::vector<T> w(16, T(-99));
        zr::test::window(w.data(), count, 1, 0, T(1));
        for (T v : w)
            ASSERT_EQ(v, T(-99)) << "count=" << count;
    }
    zr::test::window(static_cast<T*>(nullptr), 8, 1, 0, T(1));
}

template <typename T>
std::vector<T> real_spectrum(const std::vector<T>& data, const std::vector<T>& win, int16_t mode) {
    const int n = static_cast<int>(data.size());
    std::vector<T> s(sz(n / 2 + 1), T(-99));
    zr::test::spectrum(data.data(), s.data(), win.data(), n, mode);
    return s;
}

template <typename T>
std::vector<T> complex_spectrum(const std::vector<T>& data, const std::vector<T>& win,
                                int16_t mode) {
    const int n = static_cast<int>(data.size() / 2);
    std::vector<T> s(sz(n), T(-99));
    zr::test::cspectrum(data.data(), s.data(), win.data(), n, mode);
    return s;
}

TYPED_TEST(Spectrum, PowerMatchesFftwOfWindowedBlock) {
    using T = TypeParam;
    const double limit = 4 * eps<T>() * 16 + 1e-13;
    for (int n = 4; n <= 65536; n *= 4) {
        const auto x = random_block<T>(n, 600 + n);
        const auto w = window<T>(n, 1, 1, T(1));
        const std::size_t N = sz(n);
        std::vector<double> xw(N);
        for (std::size_t i = 0; i < N; ++i)
            xw[i] = static_cast<double>(x[i]) * w[i];
        const auto X = zr::test::oracle_real_forward(xw, n);
        std::vector<double> want(N / 2 + 1);
        want[0] = X[0] * X[0];
        want[N / 2] = X[1] * X[1];
        for (std::size_t k = 1; k < N / 2; ++k)
            want[k] = X[2 * k] * X[2 * k] + X[2 * k + 1] * X[2 * k + 1];
        EXPECT_LT(relative_rms_error(real_spectrum(x, w, 1), want), limit) << "n=" << n;
    }
    for (int n = 1; n <= 65536; n *= 2) {
        const auto x = random_block<T>(2 * n, 700 + n);
        const auto w = n >= 2 ? window<T>(n, 2, 1, T(1)) : std::vector<T>{T(1)};
        const std::size_t N = sz(n);
        std::vector<double> xw(2 * N);
        for (std::size_t i = 0; i < 2 * N; ++i)
            xw[i] = static_cast<double>(x[i]) * w[i / 2];
        const auto X = zr::test::oracle_fft(xw, n, 1);
        std::vector<double> want(N);
        for (std::size_t k = 0; k < N; ++k)
            want[(N / 2 + k) % N] = X[2 * k] * X[2 * k] + X[2 * k + 1] * X[2 * k + 1];
        EXPECT_LT(relative_rms_error(complex_spectrum(x, w, 1), want), limit) << "n=" << n;
    }
}

// Four samples of -2.5: bin 0 holds (4 * 2.5)^2 = 100, magnitude 10, 20 dB;
// the empty bins are exactly zero, and at the decibel floor. One complex
// point 6 + 8i: the single bin, at index 0, holds the same.
TYPED_TEST(Spectrum, WorkedBlocks) {
    using T = TypeParam;
    const std::vector<T> x(4, T(-2.5)), w(4, T(1)), one = {T(6), T(8)}, w1 = {T(1)};
    EXPECT_EQ(real_spectrum(x, w, 1), (std::vector<T>{100, 0, 0}));
    EXPECT_EQ(real_spectrum(x, w, 0), (std::vector<T>{10, 0, 0}));
    const auto db = real_spectrum(x, w, 2);
    EXPECT_NEAR(db[0], 20.0, 4 * eps<T>() * 20);
    EXPECT_EQ(db[1], T(-500));
    EXPECT_EQ(db[2], T(-500));
    EXPECT_EQ(complex_spectrum(one, w1, 1)[0], T(100));
    EXPECT_EQ(complex_spectrum(one, w1, 0)[0], T(10));
    EXPECT_NEAR(complex_spectrum(one, w1, 2)[0], 20.0, 4 * eps<T>() * 20);
}

TYPED_TEST(Spectrum, CountsOutsideContractWriteNothing) {
    using T = TypeParam;
    const auto x = random_block<T>(64, 17);
    const std::vector<T> w(32, T(1));
    for (int32_t n : {0, -4, 1, 2, 3, 6, 24, INT_MIN, INT_MAX, 0x40000001}) {
        std::vector<T> s(64, T(-99));
        zr::test::spectrum(x.data(), s.data(), w.data(), n, 1); // needs at least 4 samples
        if (n != 1 && n != 2)
            zr::test::cspectrum(x.data(), s.data(), w.data(), n, 1);
        EXPECT_EQ(s, std::vector<T>(64, T(-99))) << "n=" << n;
    }
    std::vector<T> s(64, T(-99));
    zr::test::spectrum(static_cast<const T*>(nullptr), s.data(), w.data(), 8, 1);
    zr::test::cspectrum(x.data(), s.data(), static_cast<const T*>(nullptr), 8, 1);
    EXPECT_EQ(s, std::vector<T>(64, T(-99)));
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
    if (complex)
        zr::test::cspectrum(data.data(), out.data(), win.data(), n, 1);
    else
        zr::test::spectrum(data.data(), out.data(), win.data(), n, 1);
    return out == std::vector<T>(16, T(-99)) ? 0 : 1;
}

// The coherent gain and noise bandwidth the header states per window, taken
// from the library's windows under both scalings; a window scaled to a sum of
// sqrt(40) makes a 1 V peak tone read 10 dBm (power 10 mW into 50 ohm), and
// a complex tone of amplitude 0.5 read 10 dBm too.
TYPED_TEST(Spectrum, DocumentedWindowFiguresAndDbmScale) {
    using T = TypeParam;
    struct Figures {
        int16_t type;
        double coherent_gain, noise_bandwidth;
    };
    const Figures documented[] = {{ZRDSP_WINDOW_UNIFORM, 1.0, 1.0},
                                  {ZRDSP_WINDOW_HANN, 0.5, 1.5},
                                  {ZRDSP_WINDOW_GAUSS_TOP, 0.323215, 2.215349685},
                                  {ZRDSP_WINDOW_FLAT_TOP, 0.213283, 3.822108760}};
    const int n = 1024, line = 64;
    const double tol = std::is_same_v<T, float> ? 1e-5 : 1e-9;
    for (const Figures& f : documented) {
        SCOPED_TRACE(f.type);
        for (int16_t flag : {int16_t{ZRDSP_SCALE_MEAN}, int16_t{ZRDSP_SCALE_RMS}}) {
            const std::vector<T> w = window<T>(n, f.type, flag, T(0.37));
            double peak = 0.0, s2 = 0.0;
            for (T v : w) {
                peak = std::max(peak, static_cast<double>(v));
                s2 += static_cast<double>(v) * v;
            }
            const double s1 = sum(w);
            EXPECT_NEAR(s1 / n / peak, f.coherent_gain, 1e-6);
            EXPECT_NEAR(n * s2 / (s1 * s1), f.noise_bandwidth, 2e-9 + tol);
        }
        const std::vector<T> w = window<T>(n, f.type, ZRDSP_SCALE_MEAN, T(6.32455532 / n));
        std::vector<T> x(n), c(2 * n), out(n);
        for (std::size_t i = 0; i < sz(n); ++i) {
            const double phase = 2.0 * M_PI * line * static_cast<double>(i) / n;
            x[i] = static_cast<T>(std::cos(phase));
            c[2 * i] = static_cast<T>(0.5 * std::cos(phase));
            c[2 * i + 1] = static_cast<T>(0.5 * std::sin(phase));
        }
        zr::test::spectrum(x.data(), out.data(), w.data(), n, ZRDSP_DECIBELS);
        EXPECT_NEAR(out[line], 10.0, 1e-4);
        zr::test::spectrum(x.data(), out.data(), w.data(), n, ZRDSP_POWER);
        EXPECT_NEAR(out[line], 10.0, 1e-4);
        zr::test::spectrum(x.data(), out.data(), w.data(), n, ZRDSP_MAGNITUDE);
        EXPECT_NEAR(out[line], std::sqrt(10.0), 1e-4);
        zr::test::cspectrum(c.data(), out.data(), w.data(), n, ZRDSP_DECIBELS);
        EXPECT_NEAR(out[n / 2 + line], 10.0, 1e-4);
    }
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

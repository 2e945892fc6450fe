// Spectra: FFTW as truth, the worked cases of constant and sinusoidal blocks,
// the placement of the two-sided spectrum, the scale modes, in-place use,
// bad counts and a heap that cannot supply the work array.
#include "fftw_oracle.h"
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using zr::test::eps;
using zr::test::random_block;
using zr::test::relative_rms_error;

template <typename T> class Spectrum : public ::testing::Test {};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(Spectrum, Precisions);

template <typename T> std::vector<T> window(int n, int16_t type, int16_t flag, T value) {
    std::vector<T> w(n);
    zr::test::window(w.data(), n, type, flag, value);
    return w;
}

template <typename T>
std::vector<T> real_spectrum(const std::vector<T>& data, const std::vector<T>& win, int16_t mode) {
    const int n = static_cast<int>(data.size());
    std::vector<T> s(n / 2 + 1, T(-99));
    zr::test::spectrum(data.data(), s.data(), win.data(), n, mode);
    return s;
}

template <typename T>
std::vector<T> complex_spectrum(const std::vector<T>& data, const std::vector<T>& win,
                                int16_t mode) {
    const int n = static_cast<int>(data.size() / 2);
    std::vector<T> s(n, T(-99));
    zr::test::cspectrum(data.data(), s.data(), win.data(), n, mode);
    return s;
}

// ---- FFTW as truth ---------------------------------------------------------

TYPED_TEST(Spectrum, PowerMatchesFftwOfWindowedBlock) {
    using T = TypeParam;
    const double limit = 4 * eps<T>() * 16 + 1e-13;
    for (int n = 4; n <= 65536; n *= 4) {
        const auto x = random_block<T>(n, 600 + n);
        const auto w = window<T>(n, 1, 1, T(1));
        std::vector<double> xw(n);
        for (int i = 0; i < n; ++i)
            xw[i] = static_cast<double>(x[i]) * w[i];
        const auto X = zr::test::oracle_real_forward(xw, n);
        std::vector<double> want(n / 2 + 1);
        want[0] = X[0] * X[0];
        want[n / 2] = X[1] * X[1];
        for (int k = 1; k < n / 2; ++k)
            want[k] = X[2 * k] * X[2 * k] + X[2 * k + 1] * X[2 * k + 1];
        EXPECT_LT(relative_rms_error(real_spectrum(x, w, 1), want), limit) << "n=" << n;
    }
    for (int n = 1; n <= 65536; n *= 4) {
        const auto x = random_block<T>(2 * n, 700 + n);
        const auto w = n >= 2 ? window<T>(n, 2, 1, T(1)) : std::vector<T>{T(1)};
        std::vector<double> xw(2 * n);
        for (int i = 0; i < 2 * n; ++i)
            xw[i] = static_cast<double>(x[i]) * w[i / 2];
        const auto X = zr::test::oracle_fft(xw, n, 1);
        std::vector<double> want(n);
        for (int k = 0; k < n; ++k)
            want[(n / 2 + k) % n] = X[2 * k] * X[2 * k] + X[2 * k + 1] * X[2 * k + 1];
        EXPECT_LT(relative_rms_error(complex_spectrum(x, w, 1), want), limit) << "n=" << n;
    }
}

// ---- Worked cases ------------------------------------------------------------

TYPED_TEST(Spectrum, ConstantBlockGoesToBinZero) {
    using T = TypeParam;
    const T a = T(-0.75);
    for (int n = 4; n <= 4096; n *= 2) {
        const std::vector<T> x(n, a);
        const auto w = window<T>(n, 0, 0, T(1));
        const auto p = real_spectrum(x, w, 1);
        EXPECT_NEAR(p[0], (n * a) * (n * a), 4 * eps<T>() * (n * a) * (n * a)) << "n=" << n;
        for (int k = 1; k <= n / 2; ++k)
            ASSERT_EQ(p[k], T(0)) << "n=" << n << " k=" << k;
        const auto m = real_spectrum(x, w, 0);
        EXPECT_NEAR(m[0], n * std::fabs(a), 4 * eps<T>() * n) << "n=" << n;
        // Decibels: every empty bin is exactly the floor.
        const auto db = real_spectrum(x, w, 2);
        for (int k = 1; k <= n / 2; ++k)
            ASSERT_EQ(db[k], T(-500)) << "n=" << n << " k=" << k;
        EXPECT_NEAR(db[0], 10 * std::log10((n * a) * (n * a) * 1.0), 1e-5);
    }
}

TYPED_TEST(Spectrum, DecibelsOfPowerHundredIsTwenty) {
    using T = TypeParam;
    // Four samples of 2.5 with the uniform window: bin 0 holds (4 * 2.5)^2 = 100.
    const std::vector<T> x(4, T(2.5)), w(4, T(1));
    const auto db = real_spectrum(x, w, 2);
    EXPECT_NEAR(db[0], 20.0, 4 * eps<T>() * 20);
    EXPECT_EQ(db[1], T(-500));
    EXPECT_EQ(db[2], T(-500));
    const std::vector<T> c = {T(10), T(0)}, one = {T(1)};
    const auto cdb = complex_spectrum(c, one, 2);
    EXPECT_NEAR(cdb[0], 20.0, 4 * eps<T>() * 20);
}

// The front panel's window (sum 6.32455532) turns a cosine of amplitude A
// into 10 A^2 at its bin.
TYPED_TEST(Spectrum, FrontPanelWindowGivesTenASquared) {
    using T = TypeParam;
    const double A = 0.35;
    const double tol = std::max(2e-8, 64 * eps<T>());
    for (int n : {64, 1024, 8192}) {
        for (int k : {1, 5, n / 4, n / 2 - 1}) {
            std::vector<T> x(n);
            for (int i = 0; i < n; ++i)
                x[i] = static_cast<T>(A * std::cos(2 * M_PI * k * i / n));
            const auto w = window<T>(n, 0, 0, T(6.32455532 / n));
            const auto p = real_spectrum(x, w, 1);
            EXPECT_NEAR(p[k] / (10 * A * A), 1.0, tol) << "n=" << n << " k=" << k;
        }
    }
}

TYPED_TEST(Spectrum, ComplexSpectrumPlacesZeroFrequencyAtCentre) {
    using T = TypeParam;
    for (int n : {2, 4, 16, 256}) {
        const std::vector<T> w(n, T(1));
        std::vector<T> constant(2 * n, T(0)), up(2 * n), down(2 * n);
        for (int i = 0; i < n; ++i) {
            constant[2 * i] = T(1.5);
            up[2 * i] = static_cast<T>(std::cos(2 * M_PI * i / n));
            up[2 * i + 1] = static_cast<T>(std::sin(2 * M_PI * i / n));
            down[2 * i] = up[2 * i];
            down[2 * i + 1] = -up[2 * i + 1];
        }
        const double full = 1.0 * n * n;
        const double tol = 64 * eps<T>() * full;
        const auto pc = complex_spectrum(constant, w, 1);
        const auto pu = complex_spectrum(up, w, 1);
        const auto pd = complex_spectrum(down, w, 1);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(pc[i], i == n / 2 ? 2.25 * full : 0.0, 2.25 * tol)
                << "n=" << n << " i=" << i;
            EXPECT_NEAR(pu[i], i == (n / 2 + 1) % n ? full : 0.0, tol) << "n=" << n << " i=" << i;
            EXPECT_NEAR(pd[i], i == n / 2 - 1 ? full : 0.0, tol) << "n=" << n << " i=" << i;
        }
    }
    // One point: the single bin sits at index 0.
    const std::vector<T> one = {T(3), T(4)}, w1 = {T(1)};
    EXPECT_EQ(complex_spectrum(one, w1, 1)[0], T(25));
    EXPECT_EQ(complex_spectrum(one, w1, 0)[0], T(5));
}

TYPED_TEST(Spectrum, MagnitudeIsSquareRootOfPower) {
    using T = TypeParam;
    const auto x = random_block<T>(1024, 11);
    const auto w = window<T>(1024, 3, 0, T(1));
    const auto p = real_spectrum(x, w, 1);
    const auto m = real_spectrum(x, w, 0);
    for (int k = 0; k <= 512; ++k)
        ASSERT_EQ(m[k], static_cast<T>(std::sqrt(static_cast<double>(p[k])))) << "k=" << k;
    const auto cx = random_block<T>(2048, 12);
    const auto cp = complex_spectrum(cx, w, 1);
    const auto cm = complex_spectrum(cx, w, 0);
    const auto cd = complex_spectrum(cx, w, 2);
    for (int k = 0; k < 1024; ++k) {
        ASSERT_EQ(cm[k], static_cast<T>(std::sqrt(static_cast<double>(cp[k])))) << "k=" << k;
        ASSERT_NEAR(cd[k], 10 * std::log10(static_cast<double>(cp[k])), 1e-5) << "k=" << k;
    }
}

TYPED_TEST(Spectrum, OtherModesLeavePower) {
    using T = TypeParam;
    const auto x = random_block<T>(256, 13);
    const auto w = window<T>(256, 1, 0, T(1));
    const auto power = real_spectrum(x, w, 1);
    const auto cx = random_block<T>(512, 14);
    const auto cpower = complex_spectrum(cx, w, 1);
    // The power really is not a magnitude or a level: it differs from mode 0 and 2.
    EXPECT_NE(power, real_spectrum(x, w, 0));
    EXPECT_NE(power, real_spectrum(x, w, 2));
    for (int16_t mode : {int16_t(3), int16_t(-1), int16_t(100), int16_t(SHRT_MIN)}) {
        EXPECT_EQ(real_spectrum(x, w, mode), power) << "mode " << mode;
        EXPECT_EQ(complex_spectrum(cx, w, mode), cpower) << "mode " << mode;
    }
}

TYPED_TEST(Spectrum, OutputMayBeTheInputArray) {
    using T = TypeParam;
    for (int n : {4, 64, 4096}) {
        for (int16_t mode : {int16_t(0), int16_t(1), int16_t(2)}) {
            const auto x = random_block<T>(n, 15 + n);
            const auto w = window<T>(n, 2, 0, T(1));
            const auto want = real_spectrum(x, w, mode);
            auto inplace = x;
            zr::test::spectrum(inplace.data(), inplace.data(), w.data(), n, mode);
            EXPECT_EQ(std::vector<T>(inplace.begin(), inplace.begin() + n / 2 + 1), want);
            const auto cx = random_block<T>(2 * n, 16 + n);
            const auto cwant = complex_spectrum(cx, w, mode);
            auto cin = cx;
            zr::test::cspectrum(cin.data(), cin.data(), w.data(), n, mode);
            EXPECT_EQ(std::vector<T>(cin.begin(), cin.begin() + n), cwant);
        }
    }
}

// ---- Refusals ----------------------------------------------------------------

TYPED_TEST(Spectrum, CountsOutsideContractWriteNothing) {
    using T = TypeParam;
    const auto x = random_block<T>(64, 17);
    const std::vector<T> w(32, T(1));
    for (int32_t n : {0, -4, 3, 6, 24, INT_MIN, INT_MAX, 0x40000001}) {
        std::vector<T> s(64, T(-99));
        zr::test::spectrum(x.data(), s.data(), w.data(), n, 1);
        zr::test::cspectrum(x.data(), s.data(), w.data(), n, 1);
        for (T v : s)
            ASSERT_EQ(v, T(-99)) << "n=" << n;
    }
    for (int32_t n : {1, 2}) {
        std::vector<T> s(64, T(-99));
        zr::test::spectrum(x.data(), s.data(), w.data(), n, 1);
        for (T v : s)
            ASSERT_EQ(v, T(-99)) << "n=" << n;
    }
    std::vector<T> s(64, T(-99));
    zr::test::spectrum(static_cast<const T*>(nullptr), s.data(), w.data(), 8, 1);
    zr::test::cspectrum(x.data(), s.data(), static_cast<const T*>(nullptr), 8, 1);
    for (T v : s)
        ASSERT_EQ(v, T(-99));
}

// A heap that cannot supply the work array: the call must return without
// writing instead of crashing. Normally an address-space limit in a child
// process makes the allocation fail; under the address sanitizer (which
// reserves far more address space) its allocator is told to refuse
// allocations above 1 GiB and to return null for them.
#if defined(__SANITIZE_ADDRESS__)
#define ZR_HAVE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
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
    for (T v : out)
        if (v != T(-99))
            return 1;
    return 0;
}

TYPED_TEST(Spectrum, FailedWorkAllocationReturnsWithoutWriting) {
    using T = TypeParam;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(spectrum_under_tight_heap<T>(false)), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(spectrum_under_tight_heap<T>(true)), ::testing::ExitedWithCode(0), "");
}

} // namespace

#ifdef ZR_HAVE_ASAN
// Allocations above 1 GiB fail with a null pointer in this test program.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
#endif

// Complex and real transforms: FFTW as independent truth over every size,
// the hand-worked cases of the transform's conventions, and counts outside
// the contract.
#include "fftw_oracle.h"
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {

using zr::test::eps;
using zr::test::random_block;
using zr::test::relative_rms_error;

template <typename T> class Fft : public ::testing::Test {};
TYPED_TEST_SUITE(Fft, zr::test::Precisions);

// Allowed relative RMS error of an n-point transform against FFTW: the
// rounding to T in each of the log2(n) stages, plus the drift of the twiddle
// recurrence, which runs in double. Measured: float 3e-8 (n=2) to 1.1e-7
// (n=65536), double 4e-16 to 7e-15; the limits leave a margin of about 1.5-2.5.
template <typename T> double error_limit(int n) {
    const double stages = std::log2(static_cast<double>(n > 1 ? n : 2));
    return eps<T>() * (0.75 + 0.1 * stages) + eps<double>() * (4.0 + 3.0 * stages);
}

TYPED_TEST(Fft, ComplexMatchesFftwEverySizeBothDirections) {
    using T = TypeParam;
    for (int n = 1; n <= 65536; n *= 2) {
        for (int dir : {1, -1}) {
            auto x = random_block<T>(2 * n, 1000 + n + dir);
            const auto want = zr::test::oracle_fft(x, n, dir);
            zr::test::fft(x.data(), n, static_cast<int16_t>(dir));
            EXPECT_LT(relative_rms_error(x, want), error_limit<T>(n))
                << "n=" << n << " dir=" << dir;
        }
    }
}

// Every direction other than exactly 1 is the inverse.
TYPED_TEST(Fft, RealMatchesFftwEverySizeBothDirections) {
    using T = TypeParam;
    for (int n = 4; n <= 65536; n *= 2) {
        for (int16_t dir : {int16_t(1), int16_t(-1), int16_t(0), int16_t(2)}) {
            auto x = random_block<T>(n, (dir == 1 ? 2000 : 3000) + n);
            const auto want = dir == 1 ? zr::test::oracle_real_forward(x, n)
                                       : zr::test::oracle_real_inverse(x, n);
            zr::test::fft_real(x.data(), n, dir);
            EXPECT_LT(relative_rms_error(x, want), error_limit<T>(n))
                << "n=" << n << " dir=" << dir;
        }
    }
}

// Every bin of an impulse's transform is exactly 1 (the real transform packs
// X(N/2) = 1 into position 1).
TYPED_TEST(Fft, ImpulseGivesAllOnes) {
    using T = TypeParam;
    for (int n = 1; n <= 4096; n *= 2) {
        for (int16_t dir : {int16_t(1), int16_t(-1)}) {
            const auto N = static_cast<std::size_t>(n);
            std::vector<T> c(2 * N, T(0)), r(N, T(0));
            c[0] = r[0] = 1;
            zr::test::fft(c.data(), n, dir);
            for (std::size_t i = 0; i < 2 * N; ++i)
                ASSERT_EQ(c[i], T(i % 2 == 0)) << "complex n=" << n << " i=" << i;
            if (n < 4 || dir != 1)
                continue;
            zr::test::fft_real(r.data(), n, dir);
            for (std::size_t i = 0; i < N; ++i)
                ASSERT_EQ(r[i], T(i % 2 == 0 || i == 1)) << "real n=" << n << " i=" << i;
        }
    }
}

// Four samples: a two-point complex transform, then the zero/half-rate
// combination and the sign change of Im X[1]; no split loop.
TYPED_TEST(Fft, RealFourSamplesWorkedByHand) {
    using T = TypeParam;
    std::vector<T> d = {1, 2, 3, 4};
    zr::test::fft_real(d.data(), 4, 1);
    // X0 = 10, X2 = -2, X1 = (1 - 3) + i(4 - 2)
    EXPECT_EQ(d, (std::vector<T>{10, -2, -2, 2}));
    zr::test::fft_real(d.data(), 4, -1);
    EXPECT_EQ(d, (std::vector<T>{2, 4, 6, 8}));
}

TYPED_TEST(Fft, RealConstantGoesToBinZero) {
    using T = TypeParam;
    const T a = T(-1.25);
    for (int n = 4; n <= 16384; n *= 2) {
        std::vector<T> d(static_cast<std::size_t>(n), a);
        zr::test::fft_real(d.data(), n, 1);
        EXPECT_NEAR(d[0], n * static_cast<double>(a), 4 * eps<T>() * n) << "n=" << n;
        for (std::size_t i = 1; i < d.size(); ++i)
            ASSERT_NEAR(d[i], 0.0, 8 * eps<T>() * n) << "n=" << n << " i=" << i;
    }
}

// Sign convention: a cosine of k cycles gives X[k] = N/2 (real, positive),
// a sine gives Im X[k] = -N/2, for the real and the complex transform.
TYPED_TEST(Fft, CosineAndSineOfKCyclesSignConvention) {
    using T = TypeParam;
    for (std::size_t n : {8u, 64u, 1024u}) {
        // The twiddle recurrence drifts by about one rounding per step.
        const double tol = 64 * eps<T>() + 2.0 * static_cast<double>(n) * eps<double>();
        const auto n32 = static_cast<int32_t>(n);
        for (std::size_t k : {std::size_t{1}, std::size_t{3}, n / 4, n / 2 - 1}) {
            std::vector<T> c(n), s(n), cc(2 * n, T(0)), sc(2 * n, T(0));
            for (std::size_t i = 0; i < n; ++i) {
                const double phase = 2 * M_PI * static_cast<double>(k * i) / static_cast<double>(n);
                c[i] = cc[2 * i] = static_cast<T>(std::cos(phase));
                s[i] = sc[2 * i] = static_cast<T>(std::sin(phase));
            }
            zr::test::fft_real(c.data(), n32, 1);
            zr::test::fft_real(s.data(), n32, 1);
            zr::test::fft(cc.data(), n32, 1);
            zr::test::fft(sc.data(), n32, 1);
            const double h = static_cast<double>(n) / 2.0;
            EXPECT_NEAR(c[2 * k] / h, 1.0, tol) << "n=" << n << " k=" << k;
            EXPECT_NEAR(c[2 * k + 1] / h, 0.0, tol) << "n=" << n << " k=" << k;
            EXPECT_NEAR(s[2 * k] / h, 0.0, tol) << "n=" << n << " k=" << k;
            EXPECT_NEAR(s[2 * k + 1] / h, -1.0, tol) << "n=" << n << " k=" << k;
            EXPECT_NEAR(cc[2 * k] / h, 1.0, tol);
            EXPECT_NEAR(cc[2 * (n - k)] / h, 1.0, tol);
            EXPECT_NEAR(sc[2 * k + 1] / h, -1.0, tol);
            EXPECT_NEAR(sc[2 * (n - k) + 1] / h, 1.0, tol);
            for (std::size_t b = 1; b < n / 2; ++b) {
                if (b == k)
                    continue;
                ASSERT_NEAR(std::hypot(c[2 * b], c[2 * b + 1]) / h, 0.0, tol) << "bin " << b;
            }
        }
    }
}

TYPED_TEST(Fft, CountsOutsideContractLeaveDataUntouched) {
    using T = TypeParam;
    const auto original = random_block<T>(64, 99);
    for (int32_t n : {0, -1, -2, -64, 1, 2, 3, 6, 12, 31, INT_MIN, INT_MAX, 0x40000001}) {
        for (int16_t dir : {int16_t(1), int16_t(-1)}) {
            auto d = original;
            zr::test::fft_real(d.data(), n, dir); // needs at least 4 samples
            EXPECT_EQ(zr::test::first_bit_difference(d.data(), original.data(), d.size()), -1)
                << "real n=" << n;
            if (n == 1 || n == 2)
                continue;
            zr::test::fft(d.data(), n, dir);
            EXPECT_EQ(zr::test::first_bit_difference(d.data(), original.data(), d.size()), -1)
                << "complex n=" << n;
        }
    }
    // A null array is refused rather than dereferenced.
    zr::test::fft(static_cast<T*>(nullptr), 8, 1);
    zr::test::fft_real(static_cast<T*>(nullptr), 8, 1);
}

} // namespace

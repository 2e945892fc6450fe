// FIR filtering with caller-held state, least-squares FIR design and the
// FIR frequency response of libzrdsp_32.
#include "zrdsp_32.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

namespace {

using zr::test::first_bit_difference;
using zr::test::random_block;

constexpr double kPi = 3.141592653589793;

// ---- Filtering ------------------------------------------------------------

template <typename T> struct FirApi;
template <> struct FirApi<float> {
    static void fir(const float* in, float* out, int32_t n, const float* taps, int32_t nt,
                    float* st) {
        zrdsp_fir(in, out, n, taps, nt, st);
    }
};
template <> struct FirApi<double> {
    static void fir(const double* in, double* out, int32_t n, const double* taps, int32_t nt,
                    double* st) {
        zrdsp_fir_double(in, out, n, taps, nt, st);
    }
};

template <typename T> class FirFilter : public ::testing::Test {};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(FirFilter, Precisions);

TYPED_TEST(FirFilter, HandWorkedThreeTapBlock) {
    using T = TypeParam;
    // output[m] = 3 x(m) + 2 x(m-1) + 1 x(m-2); x(-1) = 20, x(-2) = 10.
    const T taps[3] = {1, 2, 3};
    T state[3] = {0, 10, 20};
    const T in[4] = {1, 2, 3, 4};
    T out[4] = {};
    FirApi<T>::fir(in, out, 4, taps, 3, state);
    EXPECT_EQ(out[0], T(53));
    EXPECT_EQ(out[1], T(28));
    EXPECT_EQ(out[2], T(14));
    EXPECT_EQ(out[3], T(20));
    EXPECT_EQ(state[0], T(2));
    EXPECT_EQ(state[1], T(3));
    EXPECT_EQ(state[2], T(4));
}

TYPED_TEST(FirFilter, SingleTapIsGainAndStateHoldsLastSample) {
    using T = TypeParam;
    const auto in = random_block<T>(37, 1);
    std::vector<T> out(in.size());
    const T g = T(-2.5);
    T state = T(99);
    FirApi<T>::fir(in.data(), out.data(), 37, &g, 1, &state);
    for (std::size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(out[i], static_cast<T>(static_cast<double>(g) * in[i])) << i;
    EXPECT_EQ(state, in.back());
}

TYPED_TEST(FirFilter, IdentityTapsPassTheInput) {
    using T = TypeParam;
    const int nt = 7;
    std::vector<T> taps(nt, T(0));
    taps[nt - 1] = T(1);
    auto state = random_block<T>(nt, 2);
    const auto in = random_block<T>(50, 3);
    std::vector<T> out(in.size());
    FirApi<T>::fir(in.data(), out.data(), 50, taps.data(), nt, state.data());
    EXPECT_EQ(first_bit_difference(out.data(), in.data(), in.size()), -1);
    EXPECT_EQ(first_bit_difference(state.data(), in.data() + 50 - nt, nt), -1);
}

TYPED_TEST(FirFilter, FirstTapAloneDelaysByNtapsMinusOne) {
    using T = TypeParam;
    const int nt = 6;
    std::vector<T> taps(nt, T(0));
    taps[0] = T(1);
    const auto state0 = random_block<T>(nt, 4);
    auto state = state0;
    const auto in = random_block<T>(40, 5);
    std::vector<T> out(in.size());
    FirApi<T>::fir(in.data(), out.data(), 40, taps.data(), nt, state.data());
    // The first ntaps-1 outputs come from the state (its newest ntaps-1 values).
    for (int m = 0; m < nt - 1; ++m)
        EXPECT_EQ(out[m], state0[m + 1]) << m;
    for (int m = nt - 1; m < 40; ++m)
        EXPECT_EQ(out[m], in[m - (nt - 1)]) << m;
}

TYPED_TEST(FirFilter, TwoHalvesSharingStateEqualOneBlock) {
    using T = TypeParam;
    for (int nt : {1, 3, 11, 40}) {
        const int n = 64;
        const auto taps = random_block<T>(nt, 6);
        const auto in = random_block<T>(2 * n, 7);
        const auto state0 = random_block<T>(nt, 8);
        std::vector<T> whole(2 * n), halves(2 * n);
        auto s1 = state0, s2 = state0;
        FirApi<T>::fir(in.data(), whole.data(), 2 * n, taps.data(), nt, s1.data());
        FirApi<T>::fir(in.data(), halves.data(), n, taps.data(), nt, s2.data());
        FirApi<T>::fir(in.data() + n, halves.data() + n, n, taps.data(), nt, s2.data());
        EXPECT_EQ(first_bit_difference(whole.data(), halves.data(), whole.size()), -1) << nt;
        EXPECT_EQ(first_bit_difference(s1.data(), s2.data(), s1.size()), -1) << nt;
    }
}

TYPED_TEST(FirFilter, InPlaceEqualsSeparateOutput) {
    using T = TypeParam;
    for (int nt : {1, 2, 5, 11, 33, 300}) {
        for (int n : {nt, nt + 1, nt + 3, 4 * nt + 7}) {
            const auto taps = random_block<T>(nt, 9);
            const auto in = random_block<T>(n, 10);
            const auto state0 = random_block<T>(nt, 11);
            std::vector<T> sep(n);
            auto buf = in;
            auto s1 = state0, s2 = state0;
            FirApi<T>::fir(in.data(), sep.data(), n, taps.data(), nt, s1.data());
            FirApi<T>::fir(buf.data(), buf.data(), n, taps.data(), nt, s2.data());
            EXPECT_EQ(first_bit_difference(sep.data(), buf.data(), sep.size()), -1)
                << nt << " " << n;
            EXPECT_EQ(first_bit_difference(s1.data(), s2.data(), s1.size()), -1);
        }
    }
}

TYPED_TEST(FirFilter, BlocksShorterThanTheFilterEqualOneLongCall) {
    using T = TypeParam;
    for (int nt : {4, 11, 300}) {
        const int sizes[] = {3, 1, 0, 2, 7, 10, 1, 25, 5, 290, 299, 301, 2};
        int total = 0;
        for (int s : sizes)
            total += s;
        const auto taps = random_block<T>(nt, 12);
        const auto in = random_block<T>(total, 13);
        const auto state0 = random_block<T>(nt, 14);
        std::vector<T> once(total), pieces(total);
        auto s1 = state0, s2 = state0;
        FirApi<T>::fir(in.data(), once.data(), total, taps.data(), nt, s1.data());
        int at = 0;
        for (int s : sizes) {
            FirApi<T>::fir(in.data() + at, pieces.data() + at, s, taps.data(), nt, s2.data());
            at += s;
        }
        EXPECT_EQ(first_bit_difference(once.data(), pieces.data(), once.size()), -1) << nt;
        EXPECT_EQ(first_bit_difference(s1.data(), s2.data(), s1.size()), -1) << nt;
    }
}

TYPED_TEST(FirFilter, SumsAreCarriedBeyondSinglePrecision) {
    using T = TypeParam;
    // 1e8 + 1 - 1e8 loses the 1 in single precision; the sum must keep it.
    const T taps[3] = {1, 1, 1};
    T state[3] = {0, 0, 0};
    const T in[3] = {T(1e8), T(1), T(-1e8)};
    T out[3];
    FirApi<T>::fir(in, out, 3, taps, 3, state);
    EXPECT_EQ(out[2], T(1));
}

TYPED_TEST(FirFilter, OutOfRangeCountsLeaveEverythingUntouched) {
    using T = TypeParam;
    const T taps[2] = {1, 1};
    const T in[4] = {1, 2, 3, 4};
    T out[4] = {7, 7, 7, 7};
    T state[2] = {5, 6};
    FirApi<T>::fir(in, out, 4, taps, 0, state);
    FirApi<T>::fir(in, out, 4, taps, -2, state);
    FirApi<T>::fir(in, out, -1, taps, 2, state);
    FirApi<T>::fir(in, out, 0, taps, 2, state);
    for (T v : out)
        EXPECT_EQ(v, T(7));
    EXPECT_EQ(state[0], T(5));
    EXPECT_EQ(state[1], T(6));
}

// ---- Frequency response ---------------------------------------------------------

std::vector<double> resp(const std::vector<double>& taps, int nfreq, double f1, double f2) {
    std::vector<double> r(2 * std::max(nfreq, 1), 12345.0);
    zrdsp_fir_resp(r.data(), nfreq, f1, f2, taps.data(), static_cast<int32_t>(taps.size()));
    return r;
}

TEST(FirResp, SingleUnitTapIsOneEverywhere) {
    const auto r = resp({1.0}, 17, 0.0, 0.5);
    for (int k = 0; k < 17; ++k) {
        EXPECT_EQ(r[2 * k], 1.0);
        EXPECT_EQ(r[2 * k + 1], 0.0);
    }
}

TEST(FirResp, LeadingUnitTapTurnsWithFrequency) {
    const int n = 33;
    const double f1 = -0.1, f2 = 0.45;
    const auto r = resp({1.0, 0.0}, n, f1, f2);
    for (int k = 0; k < n; ++k) {
        const double f = f1 + k * (f2 - f1) / (n - 1);
        EXPECT_NEAR(r[2 * k], std::cos(2 * kPi * f), 1e-13) << k;
        EXPECT_NEAR(r[2 * k + 1], std::sin(2 * kPi * f), 1e-13) << k;
    }
}

TEST(FirResp, TrailingUnitTapIsOneEverywhere) {
    const auto r = resp({0.0, 1.0}, 9, 0.0, 0.5);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(r[2 * k], 1.0);
        EXPECT_EQ(r[2 * k + 1], 0.0);
    }
}

TEST(FirResp, OneFrequencyGivesTheValueAtF1) {
    const auto r = resp({1.0, 0.0}, 1, 0.1, 0.4);
    EXPECT_NEAR(r[0], std::cos(2 * kPi * 0.1), 1e-15);
    EXPECT_NEAR(r[1], std::sin(2 * kPi * 0.1), 1e-15);
}

TEST(FirResp, NoTapsGiveZeroAndNoFrequenciesWriteNothing) {
    std::vector<double> none;
    none.push_back(3.0); // present but not counted
    std::vector<double> r(10, 12345.0);
    zrdsp_fir_resp(r.data(), 5, 0.0, 0.5, none.data(), 0);
    for (double v : r)
        EXPECT_EQ(v, 0.0);
    std::vector<double> untouched(4, 12345.0);
    zrdsp_fir_resp(untouched.data(), 0, 0.0, 0.5, none.data(), 1);
    zrdsp_fir_resp(untouched.data(), -3, 0.0, 0.5, none.data(), 1);
    for (double v : untouched)
        EXPECT_EQ(v, 12345.0);
}

TEST(FirResp, MatchesTheDirectSum) {
    const auto taps = random_block<double>(9, 20);
    const int n = 201;
    const double f1 = 0.03, f2 = 0.49;
    const auto r = resp(taps, n, f1, f2);
    for (int k = 0; k < n; ++k) {
        const double f = f1 + k * (f2 - f1) / (n - 1);
        double re = 0, im = 0;
        for (int m = 0; m < 9; ++m) {
            re += taps[m] * std::cos((8 - m) * 2 * kPi * f);
            im += taps[m] * std::sin((8 - m) * 2 * kPi * f);
        }
        EXPECT_NEAR(r[2 * k], re, 1e-12) << k;
        EXPECT_NEAR(r[2 * k + 1], im, 1e-12) << k;
    }
}

// ---- Design ---------------------------------------------------------------------

struct Grid {
    int npts;
    std::vector<double> desired; // 2*npts+2
    std::vector<double> weights; // npts+1
    explicit Grid(int n) : npts(n), desired(2 * n + 2, 0.0), weights(n + 1, 0.0) {}
};

Grid flat_grid(int npts) {
    Grid g(npts);
    for (int i = 0; i <= npts; ++i) {
        g.desired[2 * i] = 1.0;
        g.weights[i] = 1.0;
    }
    return g;
}

double synth(const Grid& g, double delay, std::vector<double>& taps) {
    return zrdsp_fir_synth(g.desired.data(), g.weights.data(), g.npts, delay, taps.data(),
                           static_cast<int32_t>(taps.size()));
}

TEST(FirSynth, FlatResponseWithoutDelayIsAUnitImpulse) {
    const Grid g = flat_grid(32);
    std::vector<double> taps(8, 9.0);
    ASSERT_EQ(synth(g, 0.0, taps), 0.0);
    for (int m = 0; m < 8; ++m)
        EXPECT_NEAR(taps[m], m == 0 ? 1.0 : 0.0, 1e-12) << m;
}

TEST(FirSynth, FlatResponseDelayedByTwoMovesTheImpulse) {
    const Grid g = flat_grid(16);
    std::vector<double> taps(6, 9.0);
    ASSERT_EQ(synth(g, 2.0, taps), 0.0);
    for (int m = 0; m < 6; ++m)
        EXPECT_NEAR(taps[m], m == 2 ? 1.0 : 0.0, 1e-12) << m;
}

TEST(FirSynth, AllZeroWeightsAreSingular) {
    Grid g = flat_grid(16);
    std::fill(g.weights.begin(), g.weights.end(), 0.0);
    std::vector<double> taps(4, 9.0);
    EXPECT_EQ(synth(g, 0.0, taps), 1.0);
}

TEST(FirSynth, NoTapsRequestedWritesNothing) {
    const Grid g = flat_grid(16);
    std::vector<double> taps(2, 9.0);
    EXPECT_EQ(zrdsp_fir_synth(g.desired.data(), g.weights.data(), 16, 0.0, taps.data(), 0), 2.0);
    EXPECT_EQ(zrdsp_fir_synth(g.desired.data(), g.weights.data(), 16, 0.0, taps.data(), -5), 2.0);
    EXPECT_EQ(taps[0], 9.0);
    EXPECT_EQ(taps[1], 9.0);
}

TEST(FirSynth, OutOfContractGridsAndTapCountsWriteNothing) {
    const Grid g = flat_grid(16);
    std::vector<double> taps(20, 9.0);
    // npts must be at least 2 with 2*npts a power of two; ntaps at most npts.
    for (int npts : {1, 0, -4, 3, 12}) {
        EXPECT_EQ(zrdsp_fir_synth(g.desired.data(), g.weights.data(), npts, 0.0, taps.data(), 1),
                  3.0)
            << npts;
    }
    EXPECT_EQ(zrdsp_fir_synth(g.desired.data(), g.weights.data(), 16, 0.0, taps.data(), 17), 3.0);
    for (double v : taps)
        EXPECT_EQ(v, 9.0);
}

// Independent least-squares solution: minimise the weighted squared error
// over the grid and its mirror image,
//   sum_i W_i |D_i e^{-i w_i tau} - sum_m t_m e^{-i w_i m}|^2,  w_i = pi i / npts,
// by forming the normal equations directly from that sum and solving them by
// Gaussian elimination in long double.
std::vector<double> least_squares(const Grid& g, double delay, int ntaps) {
    using LD = long double;
    const int a = g.npts;
    const LD pi = 3.14159265358979323846264338327950288L;
    std::vector<std::vector<LD>> A(ntaps, std::vector<LD>(ntaps + 1, 0.0L));
    for (int i = 0; i < 2 * a; ++i) {
        // Points above the half rate mirror those below it (negative frequencies).
        const int src = i <= a ? i : 2 * a - i;
        const LD w = g.weights[src];
        if (w == 0.0L)
            continue;
        const LD om = pi * i / a;
        // Target at the grid point, and its complex conjugate on the mirror.
        std::complex<LD> d(g.desired[2 * src], g.desired[2 * src + 1]);
        d *= std::polar(1.0L, -(pi * src / a) * static_cast<LD>(delay));
        if (i > a)
            d = std::conj(d);
        for (int k = 0; k < ntaps; ++k) {
            for (int m = 0; m < ntaps; ++m)
                A[k][m] += w * std::cos(om * (k - m));
            A[k][ntaps] += w * std::real(d * std::polar(1.0L, om * k));
        }
    }
    for (int col = 0; col < ntaps; ++col) {
        int piv = col;
        for (int r = col + 1; r < ntaps; ++r)
            if (std::fabs(A[r][col]) > std::fabs(A[piv][col]))
                piv = r;
        std::swap(A[col], A[piv]);
        for (int r = col + 1; r < ntaps; ++r) {
            const LD f = A[r][col] / A[col][col];
            for (int c = col; c <= ntaps; ++c)
                A[r][c] -= f * A[col][c];
        }
    }
    std::vector<double> x(ntaps);
    for (int r = ntaps - 1; r >= 0; --r) {
        LD s = A[r][ntaps];
        for (int c = r + 1; c < ntaps; ++c)
            s -= A[r][c] * static_cast<LD>(x[c]);
        x[r] = static_cast<double>(s / A[r][r]);
    }
    return x;
}

TEST(FirSynth, LowpassMatchesIndependentLeastSquaresAndItsOwnResponse) {
    // Pass band to 0.15, stop band from 0.22 (weighted 10), free transition.
    const int npts = 64, ntaps = 33;
    const double delay = 16.0;
    Grid g(npts);
    for (int i = 0; i <= npts; ++i) {
        const double f = i / (2.0 * npts);
        if (f <= 0.15) {
            g.desired[2 * i] = 1.0;
            g.weights[i] = 1.0;
        } else if (f >= 0.22) {
            g.weights[i] = 10.0;
        }
    }
    std::vector<double> taps(ntaps, 0.0);
    ASSERT_EQ(synth(g, delay, taps), 0.0);

    const auto want = least_squares(g, delay, ntaps);
    for (int m = 0; m < ntaps; ++m)
        EXPECT_NEAR(taps[m], want[m], 1e-10) << m;
    // Linear phase: symmetric about the delay.
    for (int m = 0; m < ntaps; ++m)
        EXPECT_NEAR(taps[m], taps[ntaps - 1 - m], 1e-10) << m;

    const int nf = 501;
    std::vector<double> r(2 * nf);
    zrdsp_fir_resp(r.data(), nf, 0.0, 0.5, taps.data(), ntaps);
    double pass_dev = 0.0, stop_max = 0.0;
    for (int k = 0; k < nf; ++k) {
        const double f = 0.5 * k / (nf - 1);
        const double mag = std::hypot(r[2 * k], r[2 * k + 1]);
        if (f <= 0.15)
            pass_dev = std::max(pass_dev, std::fabs(mag - 1.0));
        if (f >= 0.22)
            stop_max = std::max(stop_max, mag);
    }
    EXPECT_LT(pass_dev, 0.02);
    EXPECT_LT(stop_max, 0.02); // about -34 dB
}

TEST(FirSynth, ComplexDesiredResponseMatchesIndependentLeastSquares) {
    // A non-symmetric target (fractional delay and a phase ramp with varying
    // weights) exercises the general Toeplitz recursion.
    const int npts = 32, ntaps = 12;
    const double delay = 4.3;
    Grid g(npts);
    const auto noise = random_block<double>(npts + 1, 21);
    for (int i = 0; i <= npts; ++i) {
        const double f = i / (2.0 * npts);
        const double mag = 1.0 / (1.0 + 4.0 * f);
        g.desired[2 * i] = mag * std::cos(3.0 * f);
        g.desired[2 * i + 1] = mag * std::sin(3.0 * f);
        g.weights[i] = 1.5 + noise[i];
    }
    std::vector<double> taps(ntaps, 0.0);
    ASSERT_EQ(synth(g, delay, taps), 0.0);
    const auto want = least_squares(g, delay, ntaps);
    for (int m = 0; m < ntaps; ++m)
        EXPECT_NEAR(taps[m], want[m], 1e-10) << m;
}

TEST(FirSynth, SingleTapIsTheWeightedMean) {
    // With one tap the solution is sum(W Re D) / sum(W) over the full circle.
    const int npts = 8;
    Grid g(npts);
    for (int i = 0; i <= npts; ++i) {
        g.desired[2 * i] = 1.0 + i;
        g.weights[i] = 1.0;
    }
    std::vector<double> taps(1, 0.0);
    ASSERT_EQ(synth(g, 0.0, taps), 0.0);
    // Full circle: i = 0 and 8 once, 1..7 twice: (1 + 9 + 2*(2+...+8)) / 16 = 80/16.
    EXPECT_NEAR(taps[0], 5.0, 1e-13);
}

} // namespace

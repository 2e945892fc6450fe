// FIR filtering with caller-held state, least-squares FIR design, the FIR
// frequency response, the fractional resampler and its kernel response, and
// the front panel's 11-tap equaliser combined with the kernel response.
// (Block streams, in-place calls, every tap count, step and position are
// checked bit for bit in fir_resample_bitexact_test.cpp.)
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numeric>
#include <tuple>
#include <vector>

namespace {

using zr::test::random_block;
using zr::test::sz;

constexpr double kPi = 3.141592653589793;

template <typename T> class FirFilter : public ::testing::Test {};
TYPED_TEST_SUITE(FirFilter, zr::test::Precisions);
template <typename T> class ResampleBoth : public ::testing::Test {};
TYPED_TEST_SUITE(ResampleBoth, zr::test::Precisions);

TYPED_TEST(FirFilter, HandWorkedThreeTapBlock) {
    using T = TypeParam;
    // output[m] = 3 x(m) + 2 x(m-1) + 1 x(m-2); x(-1) = 20, x(-2) = 10.
    const T taps[3] = {1, 2, 3}, in[4] = {1, 2, 3, 4};
    T state[3] = {0, 10, 20}, out[4] = {};
    zr::test::fir(in, out, 4, taps, 3, state);
    EXPECT_EQ(std::vector<T>(out, out + 4), (std::vector<T>{53, 28, 14, 20}));
    EXPECT_EQ(std::vector<T>(state, state + 3), (std::vector<T>{2, 3, 4}));
}

TYPED_TEST(FirFilter, SumsAreCarriedBeyondSinglePrecision) {
    using T = TypeParam;
    // 1e8 + 1 - 1e8 loses the 1 in single precision; the sum must keep it.
    const T taps[3] = {1, 1, 1}, in[3] = {T(1e8), T(1), T(-1e8)};
    T state[3] = {0, 0, 0}, out[3];
    zr::test::fir(in, out, 3, taps, 3, state);
    EXPECT_EQ(out[2], T(1));
}

TYPED_TEST(FirFilter, OutOfRangeCountsLeaveEverythingUntouched) {
    using T = TypeParam;
    const T taps[2] = {1, 1}, in[4] = {1, 2, 3, 4};
    T out[4] = {7, 7, 7, 7}, state[2] = {5, 6};
    zr::test::fir(in, out, 4, taps, 0, state);
    zr::test::fir(in, out, 4, taps, -2, state);
    zr::test::fir(in, out, -1, taps, 2, state);
    zr::test::fir(in, out, 0, taps, 2, state);
    EXPECT_EQ(std::vector<T>(out, out + 4), std::vector<T>(4, T(7)));
    EXPECT_EQ(state[0], T(5));
    EXPECT_EQ(state[1], T(6));
}

// Response at f_k = f1 + k (f2 - f1) / (nfreq - 1) (f1 alone for one
// frequency): sum over m of taps[m] e^(+2 pi i f_k (ntaps - 1 - m)).
TEST(FirResp, MatchesTheDirectSum) {
    const struct {
        std::vector<double> taps;
        int n;
        double f1, f2;
    } cases[] = {{random_block<double>(9, 20), 201, 0.03, 0.49},
                 {{1.0}, 17, -0.2, 0.5},
                 {{0.0, 1.0}, 17, -0.2, 0.5},
                 {{1.0, 0.0}, 33, -0.1, 0.45},
                 {{1.0, 0.0}, 1, 0.1, 0.4}};
    for (const auto& c : cases) {
        const int nt = static_cast<int>(c.taps.size());
        std::vector<double> r(sz(2 * c.n));
        zrdsp_fir_resp(r.data(), c.n, c.f1, c.f2, c.taps.data(), nt);
        for (int k = 0; k < c.n; ++k) {
            const double f = c.n > 1 ? c.f1 + k * (c.f2 - c.f1) / (c.n - 1) : c.f1;
            double re = 0, im = 0;
            for (int m = 0; m < nt; ++m) {
                re += c.taps[sz(m)] * std::cos((nt - 1 - m) * 2 * kPi * f);
                im += c.taps[sz(m)] * std::sin((nt - 1 - m) * 2 * kPi * f);
            }
            EXPECT_NEAR(r[sz(2 * k)], re, 1e-12) << nt << " " << k;
            EXPECT_NEAR(r[sz(2 * k + 1)], im, 1e-12) << nt << " " << k;
        }
    }
}

TEST(FirResp, NoTapsGiveZeroAndNoFrequenciesWriteNothing) {
    const double tap = 3.0; // present but not counted
    std::vector<double> r(10, 12345.0), untouched(4, 12345.0);
    zrdsp_fir_resp(r.data(), 5, 0.0, 0.5, &tap, 0);
    EXPECT_EQ(r, std::vector<double>(10, 0.0));
    zrdsp_fir_resp(untouched.data(), 0, 0.0, 0.5, &tap, 1);
    zrdsp_fir_resp(untouched.data(), -3, 0.0, 0.5, &tap, 1);
    EXPECT_EQ(untouched, std::vector<double>(4, 12345.0));
}

struct Grid {
    int npts;
    std::vector<double> desired; // 2*npts+2
    std::vector<double> weights; // npts+1
    explicit Grid(int n, double flat = 0.0)
        : npts(n), desired(sz(2 * n + 2), 0.0), weights(sz(n + 1), flat) {
        for (std::size_t i = 0; i < weights.size(); ++i)
            desired[2 * i] = flat;
    }
};

double synth(const Grid& g, double delay, std::vector<double>& taps) {
    return zrdsp_fir_synth(g.desired.data(), g.weights.data(), g.npts, delay, taps.data(),
                           static_cast<int32_t>(taps.size()));
}

// A flat response delayed by a whole number of samples is a unit impulse there.
TEST(FirSynth, FlatResponseIsADelayedUnitImpulse) {
    for (auto [npts, nt, delay] : {std::tuple{32, 8, 0}, {16, 6, 2}}) {
        std::vector<double> taps(sz(nt), 9.0);
        ASSERT_EQ(synth(Grid(npts, 1.0), delay, taps), 0.0);
        for (int m = 0; m < nt; ++m)
            EXPECT_NEAR(taps[sz(m)], m == delay ? 1.0 : 0.0, 1e-12) << npts << " " << m;
    }
}

// Status 1: singular system; 2: no taps requested; 3: npts not a power of two
// of at least 2, or more taps than npts. Statuses 2 and 3 write no taps.
TEST(FirSynth, StatusCodes) {
    Grid g(16, 1.0);
    std::fill(g.weights.begin(), g.weights.end(), 0.0);
    std::vector<double> taps(4, 9.0);
    EXPECT_EQ(synth(g, 0.0, taps), 1.0);
    g = Grid(16, 1.0);
    taps.assign(20, 9.0);
    const struct {
        int npts, nt;
        double status;
    } cases[] = {{16, 0, 2}, {16, -5, 2}, {1, 1, 3},  {0, 1, 3},
                 {-4, 1, 3}, {3, 1, 3},   {12, 1, 3}, {16, 17, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(
            zrdsp_fir_synth(g.desired.data(), g.weights.data(), c.npts, 0.0, taps.data(), c.nt),
            c.status)
            << c.npts << " " << c.nt;
    }
    EXPECT_EQ(taps, std::vector<double>(20, 9.0));
}

// Independent least-squares solution: minimise the weighted squared error
// over the grid and its mirror image,
//   sum_i W_i |D_i e^{-i w_i tau} - sum_m t_m e^{-i w_i m}|^2,  w_i = pi i / npts,
// by forming the normal equations directly from that sum and solving them by
// Gaussian elimination in long double.
std::vector<double> least_squares(const Grid& g, double delay, int ntaps) {
    using LD = long double;
    const std::size_t a = sz(g.npts), n = sz(ntaps);
    const LD pi = 3.14159265358979323846264338327950288L;
    std::vector<std::vector<LD>> A(n, std::vector<LD>(n + 1, 0.0L));
    for (std::size_t i = 0; i < 2 * a; ++i) {
        // Points above the half rate mirror those below it (negative frequencies).
        const std::size_t src = i <= a ? i : 2 * a - i;
        const LD w = g.weights[src];
        if (w == 0.0L)
            continue;
        const LD om = pi * static_cast<LD>(i) / static_cast<LD>(a);
        // Target at the grid point, and its complex conjugate on the mirror.
        std::complex<LD> d(g.desired[2 * src], g.desired[2 * src + 1]);
        d *= std::polar(1.0L,
                        -(pi * static_cast<LD>(src) / static_cast<LD>(a)) * static_cast<LD>(delay));
        if (i > a)
            d = std::conj(d);
        for (std::size_t k = 0; k < n; ++k) {
            for (std::size_t m = 0; m < n; ++m)
                A[k][m] += w * std::cos(om * (static_cast<LD>(k) - static_cast<LD>(m)));
            A[k][n] += w * std::real(d * std::polar(1.0L, om * static_cast<LD>(k)));
        }
    }
    for (std::size_t col = 0; col < n; ++col) { // positive definite: no pivoting needed
        for (std::size_t r = col + 1; r < n; ++r) {
            const LD f = A[r][col] / A[col][col];
            for (std::size_t c = col; c <= n; ++c)
                A[r][c] -= f * A[col][c];
        }
    }
    std::vector<double> x(n);
    for (std::size_t r = n; r-- > 0;) {
        LD s = A[r][n];
        for (std::size_t c = r + 1; c < n; ++c)
            s -= A[r][c] * static_cast<LD>(x[c]);
        x[r] = static_cast<double>(s / A[r][r]);
    }
    return x;
}

// A lowpass (pass band to 0.15, stop band from 0.22 weighted 10, free
// transition), and a non-symmetric target (fractional delay, phase ramp,
// varying weights) that exercises the general Toeplitz recursion.
TEST(FirSynth, MatchesIndependentLeastSquares) {
    Grid lowpass(64), ramp(32);
    for (std::size_t i = 0; i <= 64; ++i) {
        const double f = static_cast<double>(i) / 128.0;
        lowpass.desired[2 * i] = f <= 0.15 ? 1.0 : 0.0;
        lowpass.weights[i] = f <= 0.15 ? 1.0 : f >= 0.22 ? 10.0 : 0.0;
    }
    const auto noise = random_block<double>(33, 21);
    for (std::size_t i = 0; i <= 32; ++i) {
        const double f = static_cast<double>(i) / 64.0, mag = 1.0 / (1.0 + 4.0 * f);
        ramp.desired[2 * i] = mag * std::cos(3.0 * f);
        ramp.desired[2 * i + 1] = mag * std::sin(3.0 * f);
        ramp.weights[i] = 1.5 + noise[i];
    }
    for (auto [g, delay, ntaps] : {std::tuple{&lowpass, 16.0, 33}, {&ramp, 4.3, 12}}) {
        std::vector<double> taps(sz(ntaps), 0.0);
        ASSERT_EQ(synth(*g, delay, taps), 0.0);
        const auto want = least_squares(*g, delay, ntaps);
        for (std::size_t m = 0; m < taps.size(); ++m)
            EXPECT_NEAR(taps[m], want[m], 1e-10) << g->npts << " " << m;
    }
}

TEST(FirSynth, SingleTapIsTheWeightedMean) {
    // With one tap the solution is sum(W Re D) / sum(W) over the full circle.
    Grid g(8, 1.0);
    for (std::size_t i = 0; i <= 8; ++i)
        g.desired[2 * i] = 1.0 + static_cast<double>(i);
    std::vector<double> taps(1, 0.0);
    ASSERT_EQ(synth(g, 0.0, taps), 0.0);
    // Full circle: i = 0 and 8 once, 1..7 twice: (1 + 9 + 2*(2+...+8)) / 16 = 80/16.
    EXPECT_NEAR(taps[0], 5.0, 1e-13);
}

// K(t) straight from its sum-of-cosines definition.
double kernel(double t) {
    if (std::fabs(t) > 5.5)
        return 0.0;
    const double a[5] = {1.539081, 0.683614, 0.15986, 0.015624, 0.000297};
    double s = 1.0;
    for (int i = 0; i < 5; ++i)
        s += a[i] * std::cos(2.0 * kPi * (i + 1) * t / 11.0);
    return s / 11.0;
}

template <typename T> struct Resampler {
    T position;
    T step;
    T history[11] = {};
    Resampler(T p, T s) : position(p), step(s) {}
    std::vector<T> hist() const { return std::vector<T>(history, history + 11); }

    // Runs one call; returns the outputs written.
    std::vector<T> run(const T* in, int32_t count, int32_t maxout) {
        const std::size_t room = sz(std::max(maxout, 0));
        std::vector<T> out(room + 1, T(-777));
        int32_t produced = -1;
        zr::test::resample(in, count, out.data(), maxout, &produced, &position, step, history);
        EXPECT_GE(produced, 0);
        EXPECT_LE(produced, std::max(maxout, 0));
        EXPECT_EQ(out[room], T(-777)) << "wrote past maxout";
        out.resize(sz(std::max(produced, 0)));
        return out;
    }
};

// Weight that the resampler gives history sample k for an output at
// position p (p in (-6.5, -5.5]), measured with a unit sample in the history.
double weight(double p, int k) {
    Resampler<double> r(p, 1.0);
    r.history[k] = 1.0;
    const auto out = r.run(nullptr, 0, 1);
    EXPECT_EQ(out.size(), 1u);
    return out.empty() ? 0.0 : out[0];
}

// Linear interpolation of a table with 380 entries per sample, at offsets
// across the output window, at both its edges and at a whole sample, where
// the weights are the kernel's samples: even, with K(0) in the middle.
TEST(ResampleKernel, WeightsSumToOneAndFollowTheKernelAtAnyOffset) {
    std::vector<double> positions = {-6.0, -5.5, -6.5 + 1e-9};
    for (int s = 0; s < 40; ++s)
        positions.push_back(-6.5 + (s + 0.5) / 40.0 + 1e-3 * std::sin(s));
    for (double p : positions) {
        double sum = 0.0;
        for (int k = 0; k < 11; ++k) {
            const double w = weight(p, k);
            EXPECT_NEAR(w, kernel(p + 11.0 - k), 1e-6) << p << " " << k;
            sum += w;
        }
        EXPECT_NEAR(sum, 1.0, 1e-6) << p;
    }
    EXPECT_NEAR(weight(-6.0, 5), 0.3089524, 1e-7);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(weight(-6.0, k), weight(-6.0, 10 - k)) << k;
}

// A ramp (input i is i + 1) from start position p0, with room for maxout
// outputs: the number of outputs, the position left for the next call
// (p0 + outputs * step - inputs taken), the history (the newest 11 inputs
// taken, after the zeros it started with), zeros while the position is at or
// below -6.5 (lead-in) and, at whole and half samples where only ramp inputs
// are in reach, the ramp itself (the kernel is even with unit sum).
TYPED_TEST(ResampleBoth, OutputCountPositionAndHistoryFollowThePositionRule) {
    using T = TypeParam;
    const struct {
        double p0, step;
        int count, maxout;
        unsigned produced;
        double end;
    } cases[] = {
        {8, 0.5, 13, 100, 0, -5}, // the output at 8 needs 14 inputs
        {8, 0.5, 14, 100, 2, -5},
        {8, 0.25, 1000, 100, 100, -6}, // the cap: output 99 lies at 32.75, needs 39 inputs
        {8, 0.25, 1000, 0, 0, 8},
        {-10, 1, 1000, 2, 2, -8}, // the cap inside the lead-in
        {-10, 1, 50, -4, 0, -10}, // negative room is none
        {-10, 1, -3, 10, 5, -5},  // negative count is none: lead-in, one output from the history
        // floor((N - p0 - 5.5) / step) + 1 outputs from a block of N
        {8, 1, 1024, 16384, 1011, -5},
        {8, 0.5, 1024, 16384, 2022, -5},
        {8, 0.25, 1024, 16384, 4043, -5.25},
        {8, 0.125, 1024, 16384, 8085, -5.375},
        {16, 0.125, 4096, 16384, 16384, -6}};
    std::vector<T> ramp(4096);
    std::iota(ramp.begin(), ramp.end(), T(1));
    for (const auto& c : cases) {
        const auto where = ::testing::Message() << "p0 " << c.p0 << " step " << c.step << " count "
                                                << c.count << " maxout " << c.maxout;
        Resampler<T> r(T(c.p0), T(c.step));
        const auto out = r.run(ramp.data(), c.count, c.maxout);
        ASSERT_EQ(out.size(), c.produced) << where;
        EXPECT_EQ(r.position, T(c.end)) << where;
        std::vector<T> seq(11, T(0));
        seq.insert(seq.end(), ramp.begin(), ramp.begin() + int(c.p0 + c.produced * c.step - c.end));
        EXPECT_EQ(r.hist(), std::vector<T>(seq.end() - 11, seq.end())) << where;
        for (unsigned j = 0; j < c.produced; ++j) {
            const double q = c.p0 + j * c.step;
            if (q <= -6.5) {
                ASSERT_EQ(out[j], T(0)) << where << " j " << j;
            } else if (q >= 5.5 && c.step >= 0.5) {
                ASSERT_NEAR(out[j], q + 1, 1e-5 * (q + 1)) << where << " j " << j;
            }
        }
    }
}

TYPED_TEST(ResampleBoth, LeadInWritesZerosBeforeUsingTheHistory) {
    using T = TypeParam;
    Resampler<T> r(T(-10), T(1));
    for (auto& h : r.history)
        h = T(1);
    const auto out = r.run(nullptr, 0, 10);
    ASSERT_EQ(out.size(), 5u);
    for (std::size_t j = 0; j < 4; ++j)
        EXPECT_EQ(out[j], T(0)) << j; // p = -10, -9, -8, -7
    EXPECT_NEAR(out[4], 1.0, 1e-6);   // p = -6 reads the history of ones
    EXPECT_EQ(r.position, T(-5));
}

TYPED_TEST(ResampleBoth, UnusableStepOrPositionProducesNothing) {
    using T = TypeParam;
    const T inf = std::numeric_limits<T>::infinity();
    const T nan = std::numeric_limits<T>::quiet_NaN();
    const auto in = random_block<T>(50, 35);
    const std::pair<T, T> bad[] = {{T(8), T(0)},   {T(8), T(-0.5)}, {T(8), nan},   {T(8), inf},
                                   {T(-10), T(0)}, {nan, T(0.5)},   {inf, T(0.5)}, {-inf, T(0.5)}};
    const T history0[11] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const auto& [p, s] : bad) {
        Resampler<T> r(p, s);
        std::copy(history0, history0 + 11, r.history);
        std::vector<T> out(10, T(-777));
        int32_t produced = 99;
        zr::test::resample(in.data(), 50, out.data(), 10, &produced, &r.position, s, r.history);
        EXPECT_EQ(produced, 0);
        EXPECT_EQ(out, std::vector<T>(10, T(-777)));
        EXPECT_EQ(r.hist(), std::vector<T>(history0, history0 + 11));
        if (std::isnan(p))
            EXPECT_TRUE(std::isnan(r.position));
        else
            EXPECT_EQ(r.position, p);
    }
}

double resamp_resp_at(double f) {
    double r = -1.0;
    zrdsp_resamp_resp(&r, 1, f, f);
    return r;
}

TEST(ResampResp, KnownValues) {
    EXPECT_EQ(resamp_resp_at(0.0), 1.0);
    EXPECT_NEAR(resamp_resp_at(1.0 / 11.0), 0.7695405, 1e-12);
    EXPECT_NEAR(resamp_resp_at(2.0 / 11.0), 0.341807, 1e-6);
    EXPECT_NEAR(resamp_resp_at(0.2), 0.270, 5e-4);
    EXPECT_NEAR(resamp_resp_at(0.25), 0.123, 5e-4);
    EXPECT_NEAR(resamp_resp_at(0.4), 0.0021, 5e-5);
    EXPECT_NEAR(resamp_resp_at(0.5), 1.5e-6, 1e-7);
    EXPECT_NEAR(resamp_resp_at(0.05), 0.924, 5e-4);
    EXPECT_NEAR(resamp_resp_at(0.1), 0.728, 5e-4);
}

TEST(ResampResp, SweepEqualsTheFourierTransformOfTheKernel) {
    const int n = 57;
    const double f1 = 0.0, f2 = 0.6;
    std::vector<double> r(sz(n + 1), 12345.0);
    zrdsp_resamp_resp(r.data(), n, f1, f2);
    EXPECT_EQ(r[sz(n)], 12345.0);
    for (int i = 0; i < n; ++i) {
        const double f = f1 + i * (f2 - f1) / (n - 1);
        // Simpson's rule over [-5.5, 5.5] of K(t) cos(2 pi f t).
        const int m = 4000;
        const double h = 11.0 / m;
        double s = 0.0;
        for (int j = 0; j <= m; ++j) {
            const double t = -5.5 + j * h;
            const double w = (j == 0 || j == m) ? 1.0 : (j % 2 ? 4.0 : 2.0);
            s += w * kernel(t) * std::cos(2.0 * kPi * f * t);
        }
        EXPECT_NEAR(r[sz(i)], s * h / 3.0, 1e-9) << f;
    }
}

TEST(ResampResp, CountOneGivesF1AndCountBelowOneWritesNothing) {
    double r[2] = {-1.0, -1.0};
    zrdsp_resamp_resp(r, 1, 2.0 / 11.0, 0.4);
    EXPECT_NEAR(r[0], 0.341807, 1e-6);
    zrdsp_resamp_resp(r, 0, 0.0, 0.5);
    zrdsp_resamp_resp(r, -2, 0.0, 0.5);
    EXPECT_NEAR(r[0], 0.341807, 1e-6);
    EXPECT_EQ(r[1], -1.0);
}

// The front panel's 11 equaliser taps (single precision, symmetric) times
// the kernel response: flat to within 0.2 % up to a quarter of the rate
// (the largest deviation, +0.2014 %, lies near 0.234), falling away above.
TEST(Equaliser, WithTheKernelIsFlatToAQuarterOfTheRate) {
    const double half[6] = {-0.166315397211716, 1.3403462,         -5.43629855311873,
                            14.388607,          -26.7291162725784, 34.205555};
    std::vector<double> taps(11);
    for (std::size_t i = 0; i < 11; ++i)
        taps[i] = static_cast<float>(half[i <= 5 ? i : 10 - i]);
    const std::size_t n = 501; // 0.001 apart
    std::vector<double> eq(2 * n), ker(n), g(n);
    zrdsp_fir_resp(eq.data(), n, 0.0, 0.5, taps.data(), 11);
    zrdsp_resamp_resp(ker.data(), n, 0.0, 0.5);
    for (std::size_t i = 0; i < n; ++i)
        g[i] = std::hypot(eq[2 * i], eq[2 * i + 1]) * ker[i];
    for (std::size_t i = 0; i <= 250; ++i)
        EXPECT_NEAR(g[i], 1.0, 0.00202) << static_cast<double>(i) / 1000.0;
    EXPECT_NEAR(g[50], 1.000581, 2e-6);
    EXPECT_NEAR(g[200], 0.999203, 2e-6);
    EXPECT_NEAR(g[250], 0.998669, 2e-6);
    EXPECT_NEAR(g[300], 0.879, 5e-4);
    EXPECT_NEAR(g[400], 0.172, 5e-4);
    EXPECT_NEAR(g[500], 0.0002, 5e-5);
}

} // namespace

// FIR filtering with caller-held state, least-squares FIR design, the FIR
// frequency response, the fractional resampler and its kernel response:
// against hand-worked values and independent computations, and bit for bit
// against the literal reference versions of reference_dsp.h over
// many sizes, tap counts, in-place calls, steps and positions, each call from
// a random filter state or history (the library keeps nothing between calls,
// so a stream of blocks is a chain of such calls).
#include "reference_dsp.h"
#include "test_util.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numeric>
#include <tuple>

namespace {

using zr::test::first_bit_difference;
using zr::test::Lib;
using zr::test::random_block;
using zr::test::sz;
using Msg = ::testing::Message;

constexpr double kPi = 3.141592653589793;

template <typename T> class FirFilter : public ::testing::Test {};
TYPED_TEST_SUITE(FirFilter, zr::test::Precisions);
template <typename T> class ResampleBoth : public ::testing::Test {};
TYPED_TEST_SUITE(ResampleBoth, zr::test::Precisions);

// output[m] = 3 x(m) + 2 x(m-1) + 1 x(m-2) with x(-1) = 20, x(-2) = 10; and
// 1e8 + 1 - 1e8, whose 1 a single-precision sum would lose.
TYPED_TEST(FirFilter, HandWorkedBlocks) {
    using T = TypeParam;
    const T taps[3] = {1, 2, 3}, in[4] = {1, 2, 3, 4}, ones[3] = {1, 1, 1};
    const T big[3] = {T(1e8), T(1), T(-1e8)};
    T state[3] = {0, 10, 20}, out[4] = {};
    Lib<T>::fir(in, out, 4, taps, 3, state);
    EXPECT_EQ(std::vector<T>(out, out + 4), (std::vector<T>{53, 28, 14, 20}));
    EXPECT_EQ(std::vector<T>(state, state + 3), (std::vector<T>{2, 3, 4}));
    Lib<T>::fir(big, out, 3, ones, 3, state); // out[2] takes the three inputs only
    EXPECT_EQ(out[2], T(1));
}

TYPED_TEST(FirFilter, OutOfRangeCountsLeaveEverythingUntouched) {
    using T = TypeParam;
    const T taps[2] = {1, 1}, in[4] = {1, 2, 3, 4};
    T out[4] = {7, 7, 7, 7}, state[2] = {5, 6};
    for (auto [n, nt] : {std::pair{4, 0}, {4, -2}, {-1, 2}, {0, 2}})
        Lib<T>::fir(in, out, n, taps, nt, state);
    EXPECT_EQ(std::vector<T>(out, out + 4), std::vector<T>(4, T(7)));
    EXPECT_EQ(std::vector<T>(state, state + 2), (std::vector<T>{5, 6}));
}

// Response at f_k = f1 + k (f2 - f1) / (nfreq - 1) (f1 alone for one
// frequency): sum over m of taps[m] e^(+2 pi i f_k (ntaps - 1 - m)). No
// frequencies write nothing.
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
    std::vector<double> untouched(4, 12345.0);
    zrdsp_fir_resp(untouched.data(), 0, 0.0, 0.5, cases[1].taps.data(), 1);
    zrdsp_fir_resp(untouched.data(), -3, 0.0, 0.5, cases[1].taps.data(), 1);
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
    double synth(double delay, std::vector<double>& taps, int32_t nt) const {
        return zrdsp_fir_synth(desired.data(), weights.data(), npts, delay, taps.data(), nt);
    }
};

// Status 1: singular system; 2: no taps requested; 3: npts not a power of two
// of at least 2, or more taps than npts. Statuses 2 and 3 write no taps.
TEST(FirSynth, StatusCodes) {
    const Grid g(16, 1.0), singular(16); // every weight of singular is 0
    std::vector<double> taps(20, 9.0);
    EXPECT_EQ(singular.synth(0.0, taps, 4), 1.0);
    taps.assign(20, 9.0);
    const std::tuple<int, int, double> cases[] = {{16, 0, 2}, {16, -5, 2}, {1, 1, 3},  {0, 1, 3},
                                                  {-4, 1, 3}, {3, 1, 3},   {12, 1, 3}, {16, 17, 3}};
    for (auto [npts, nt, status] : cases)
        EXPECT_EQ(zrdsp_fir_synth(g.desired.data(), g.weights.data(), npts, 0.0, taps.data(), nt),
                  status)
            << npts << " " << nt;
    EXPECT_EQ(taps, std::vector<double>(20, 9.0));
}

// Independent least-squares solution: minimise the weighted squared error
// over the grid and its mirror image,
//   sum_i W_i |D_i e^{-i w_i tau} - sum_m t_m e^{-i w_i m}|^2,  w_i = pi i / npts,
// by forming the normal equations directly from that sum and solving them by
// Gauss-Jordan elimination in long double.
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
        for (std::size_t r = 0; r < n; ++r) {
            const LD f = r == col ? 0.0L : A[r][col] / A[col][col];
            for (std::size_t c = col; c <= n; ++c)
                A[r][c] -= f * A[col][c];
        }
    }
    std::vector<double> x(n);
    for (std::size_t r = 0; r < n; ++r)
        x[r] = static_cast<double>(A[r][n] / A[r][r]);
    return x;
}

// A lowpass (pass band to 0.15, stop band from 0.22 weighted 10, free
// transition), and a non-symmetric target (fractional delay, phase ramp,
// varying weights) that exercises the general Toeplitz recursion, also with
// a single tap.
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
    for (auto [g, delay, ntaps] :
         {std::tuple{&lowpass, 16.0, 33}, {&ramp, 4.3, 12}, {&ramp, 0.7, 1}}) {
        std::vector<double> taps(sz(ntaps), 0.0);
        ASSERT_EQ(g->synth(delay, taps, ntaps), 0.0);
        const auto want = least_squares(*g, delay, ntaps);
        for (std::size_t m = 0; m < taps.size(); ++m)
            EXPECT_NEAR(taps[m], want[m], 1e-10) << g->npts << " " << ntaps << " " << m;
    }
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

    // Runs one call; returns the outputs written.
    std::vector<T> run(const T* in, int32_t count, int32_t maxout) {
        const std::size_t room = sz(std::max(maxout, 0));
        std::vector<T> out(room + 1, T(-777));
        int32_t produced = -1;
        Lib<T>::resample(in, count, out.data(), maxout, &produced, &position, step, history);
        EXPECT_EQ(out[room], T(-777)) << "wrote past maxout";
        out.resize(sz(std::clamp(produced, 0, std::max(maxout, 0))));
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
// the weights are the kernel's samples.
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
        EXPECT_EQ(std::vector<T>(r.history, r.history + 11),
                  std::vector<T>(seq.end() - 11, seq.end()))
            << where;
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

// The kernel response against Simpson's rule over [-5.5, 5.5] of
// K(t) cos(2 pi f t); one frequency is f1, fewer write nothing.
TEST(ResampResp, SweepEqualsTheFourierTransformOfTheKernel) {
    auto simpson = [](double f) {
        const int m = 4000;
        const double h = 11.0 / m;
        double s = 0.0;
        for (int j = 0; j <= m; ++j) {
            const double w = (j == 0 || j == m) ? 1.0 : (j % 2 ? 4.0 : 2.0);
            s += w * kernel(-5.5 + j * h) * std::cos(2.0 * kPi * f * (-5.5 + j * h));
        }
        return s * h / 3.0;
    };
    const int n = 57;
    std::vector<double> r(sz(n + 1), 12345.0);
    zrdsp_resamp_resp(r.data(), n, 0.0, 0.6);
    EXPECT_EQ(r[sz(n)], 12345.0);
    for (int i = 0; i < n; ++i)
        EXPECT_NEAR(r[sz(i)], simpson(i * 0.6 / (n - 1)), 1e-9) << i;
    double one[2] = {-1.0, -1.0};
    zrdsp_resamp_resp(one, 1, 2.0 / 11.0, 0.4);
    zrdsp_resamp_resp(one + 1, 0, 0.0, 0.5);
    zrdsp_resamp_resp(one + 1, -2, 0.0, 0.5);
    EXPECT_NEAR(one[0], simpson(2.0 / 11.0), 1e-9);
    EXPECT_EQ(one[1], -1.0);
}

template <typename T> class BitExact : public ::testing::Test {};
TYPED_TEST_SUITE(BitExact, zr::test::Precisions);

TYPED_TEST(BitExact, FirOverManySizesAndTapCounts) {
    using T = TypeParam;
    std::uint32_t seed = 100;
    for (int nt : {1, 2, 3, 4, 5, 7, 11, 16, 31, 64, 255, 256, 257, 600}) {
        for (int n : {0, 1, 2, 3, 5, 10, 11, 12, 63, 100, 257, 1000, 4099}) {
            const auto taps = random_block<T>(nt, seed++);
            const auto in = random_block<T>(n, seed++);
            const auto st0 = random_block<T>(nt, seed++);
            std::vector<T> a(sz(n + 1), T(5)), b(sz(n + 1), T(5));
            auto sa = st0, sb = st0;
            Lib<T>::fir(in.data(), a.data(), n, taps.data(), nt, sa.data());
            zr::ref::fir(in.data(), b.data(), n, taps.data(), nt, sb.data());
            ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1)
                << "ntaps " << nt << " count " << n;
            ASSERT_EQ(first_bit_difference(sa.data(), sb.data(), sa.size()), -1)
                << "ntaps " << nt << " count " << n;
            // The same call in place.
            auto c = in;
            c.push_back(T(5));
            auto sc = st0;
            Lib<T>::fir(c.data(), c.data(), n, taps.data(), nt, sc.data());
            ASSERT_EQ(first_bit_difference(c.data(), b.data(), b.size()), -1)
                << "in place, ntaps " << nt << " count " << n;
        }
    }
}

// One resampler call from the same state through the library and the
// reference: the same count, outputs (and nothing written past them),
// position and history. Returns the count.
template <typename T>
int32_t expect_same_resample(const std::vector<T>& in, double p0, double step, int maxout,
                             std::uint32_t seed, const Msg& where) {
    const int n = static_cast<int>(in.size());
    const auto hist0 = random_block<T>(11, seed);
    T pa = T(p0), pb = T(p0);
    auto ha = hist0, hb = hist0;
    std::vector<T> a(sz(maxout + 1), T(-9)), b(sz(maxout + 1), T(-9));
    int32_t na = -1, nb = -2;
    Lib<T>::resample(in.data(), n, a.data(), maxout, &na, &pa, T(step), ha.data());
    zr::ref::resample(in.data(), n, b.data(), maxout, &nb, &pb, T(step), hb.data());
    EXPECT_EQ(na, nb) << where;
    EXPECT_EQ(std::memcmp(&pa, &pb, sizeof(T)), 0) << where;
    EXPECT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1) << where;
    EXPECT_EQ(first_bit_difference(ha.data(), hb.data(), 11), -1) << where;
    return na;
}

// Also runs of outputs between two inputs of 15, 16 and 17 outputs (around the
// longest run the resampler forms side by side), steps whose runs alternate in
// length, output space that ends inside a run; and unusable steps and
// positions, which produce and change nothing.
TYPED_TEST(BitExact, ResampleOverStepsPositionsSizesAndRuns) {
    using T = TypeParam;
    // 32/380 and 64/380 move the kernel position by whole multiples of 32
    // table steps; 0.0001 revisits nearly the same positions.
    const double steps[] = {0.125, 0.25, 0.3,  0.5,        0.7071,     1.0,   1.37,
                            2.0,   3.3,  11.5, 32.0 / 380, 64.0 / 380, 0.0001};
    const double starts[] = {-10.0, -6.5, -6.0, -5.5, -0.3, 0.0, 3.75, 8.0, 16.0, 17.123};
    std::uint32_t seed = 500;
    for (double step : steps) {
        for (double p0 : starts) {
            for (int n : {0, 1, 5, 11, 12, 100, 1024, 3001}) {
                for (int maxout : {0, 3, 100, 40000}) {
                    const auto in = random_block<T>(n, seed++);
                    expect_same_resample(in, p0, step, maxout, seed++,
                                         Msg() << "step " << step << " p " << p0 << " n " << n
                                               << " maxout " << maxout);
                    if (::testing::Test::HasFailure())
                        return;
                }
            }
        }
    }
    for (double step : {1.0 / 15, 0.0625, 1.0 / 17, 0.09, 0.2, 0.33}) {
        for (int maxout : {7, 16, 17, 33, 1000, 20000}) {
            const auto in = random_block<T>(1500, seed++);
            EXPECT_GT(expect_same_resample(in, -7.25, step, maxout, seed++,
                                           Msg() << "step " << step << " maxout " << maxout),
                      0);
        }
    }
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    const std::pair<double, double> unusable[] = {{8, 0},   {8, -0.5},  {8, nan},   {8, inf},
                                                  {-10, 0}, {nan, 0.5}, {inf, 0.5}, {-inf, 0.5}};
    for (auto [p0, step] : unusable)
        EXPECT_EQ(expect_same_resample(random_block<T>(50, 35), p0, step, 10, seed++,
                                       Msg() << "unusable p " << p0 << " step " << step),
                  0);
}

TEST(BitExact, FirRespAndResampRespOverTapsAndGrids) {
    const std::pair<double, double> grids[] = {{0.0, 0.5},     {-0.25, 0.25}, {0.1, 0.1},
                                               {0.3, 0.05},    {0.0, 2.0},    {-0.7, 0.7},
                                               {1.0 / 11, 0.9}};
    std::uint32_t seed = 900;
    for (int n : {1, 2, 3, 7, 100, 1001, 1025}) {
        for (auto [f1, f2] : grids) {
            for (int nt : {0, 1, 2, 5, 11, 64}) {
                const auto taps = random_block<double>(nt, seed++);
                std::vector<double> a(sz(2 * n + 1), 7.0), b(sz(2 * n + 1), 7.0);
                zrdsp_fir_resp(a.data(), n, f1, f2, taps.data(), nt);
                zr::ref::fir_resp(b.data(), n, f1, f2, taps.data(), nt);
                ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1)
                    << "fir_resp " << nt << " " << n << " " << f1 << " " << f2;
            }
            std::vector<double> a(sz(n + 1), 7.0), b(sz(n + 1), 7.0);
            zrdsp_resamp_resp(a.data(), n, f1, f2);
            zr::ref::resamp_resp(b.data(), n, f1, f2);
            ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1)
                << "resamp_resp " << n << " " << f1 << " " << f2;
        }
    }
}

TEST(BitExact, FirSynthOverGridsDelaysAndTapCounts) {
    std::uint32_t seed = 1300;
    for (int npts : {2, 4, 8, 32, 128, 512}) {
        for (int nt : {1, 2, 3, npts / 2, npts}) {
            if (nt > npts)
                continue;
            for (double delay : {0.0, 1.0, 2.5, nt / 2.0, -3.25}) {
                auto desired = random_block<double>(2 * npts + 2, seed++);
                auto weights = random_block<double>(npts + 1, seed++);
                for (auto& w : weights)
                    w = 1.5 + w; // positive
                std::vector<double> a(sz(nt + 1), 0.0), b(sz(nt + 1), 0.0);
                ASSERT_EQ(
                    zrdsp_fir_synth(desired.data(), weights.data(), npts, delay, a.data(), nt), 0.0)
                    << npts << " " << nt << " " << delay;
                zr::ref::fir_synth(desired.data(), weights.data(), npts, delay, b.data(), nt);
                ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1)
                    << npts << " " << nt << " " << delay;
            }
        }
    }
}

} // namespace

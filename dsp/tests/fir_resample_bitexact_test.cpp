// The library's FIR, design, response and resampling entry points agree bit
// for bit with the literal reference versions in fir_resample_reference.cpp,
// over many sizes, tap counts, steps and positions, in both precisions.
#include "fir_resample_reference.hpp"
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

using zr::test::first_bit_difference;
using zr::test::random_block;
using zr::test::sz;

// The reference versions, picked by element type like zr::test::fir and zr::test::resample.
void ref_fir(const float* in, float* out, int32_t n, const float* taps, int32_t nt, float* st) {
    zr::ref::fir(in, out, n, taps, nt, st);
}
void ref_fir(const double* in, double* out, int32_t n, const double* taps, int32_t nt, double* st) {
    zr::ref::fir_double(in, out, n, taps, nt, st);
}
void ref_resample(const float* in, int32_t n, float* out, int32_t maxout, int32_t* produced,
                  float* position, float step, float* history) {
    zr::ref::resample(in, n, out, maxout, produced, position, step, history);
}
void ref_resample(const double* in, int32_t n, double* out, int32_t maxout, int32_t* produced,
                  double* position, double step, double* history) {
    zr::ref::resample_double(in, n, out, maxout, produced, position, step, history);
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
            zr::test::fir(in.data(), a.data(), n, taps.data(), nt, sa.data());
            ref_fir(in.data(), b.data(), n, taps.data(), nt, sb.data());
            ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1)
                << "ntaps " << nt << " count " << n;
            ASSERT_EQ(first_bit_difference(sa.data(), sb.data(), sa.size()), -1)
                << "ntaps " << nt << " count " << n;
            // The same call in place.
            auto c = in;
            c.push_back(T(5));
            auto sc = st0;
            zr::test::fir(c.data(), c.data(), n, taps.data(), nt, sc.data());
            ASSERT_EQ(first_bit_difference(c.data(), b.data(), b.size()), -1)
                << "in place, ntaps " << nt << " count " << n;
        }
    }
}

// Block lengths of a stream: empty blocks, blocks shorter than the filter,
// and blocks just below, at and just above a long filter's length.
const int kBlocks[] = {3, 1, 0, 2, 7, 10, 1, 25, 5, 290, 299, 300, 301, 12, 1500, 11, 777};

// A stream cut into blocks with the state carried from call to call.
TYPED_TEST(BitExact, FirStreamOfBlocks) {
    using T = TypeParam;
    const auto in = random_block<T>(20000, 8);
    for (int nt : {1, 4, 11, 40, 300}) {
        const auto taps = random_block<T>(nt, 7);
        auto sa = random_block<T>(nt, 9), sb = sa;
        std::vector<T> a(in.size()), b(in.size());
        for (int at = 0, k = 0; at < static_cast<int>(in.size()); ++k) {
            const int n = std::min<int>(kBlocks[sz(k) % std::size(kBlocks)],
                                        static_cast<int>(in.size()) - at);
            zr::test::fir(in.data() + at, a.data() + at, n, taps.data(), nt, sa.data());
            ref_fir(in.data() + at, b.data() + at, n, taps.data(), nt, sb.data());
            at += n;
        }
        EXPECT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1) << nt;
        EXPECT_EQ(first_bit_difference(sa.data(), sb.data(), sa.size()), -1) << nt;
    }
}

// One resampler call from the same state through the library and the
// reference: the same count, outputs (and nothing written past them),
// position and history. Returns the count.
template <typename T>
int32_t expect_same_resample(const std::vector<T>& in, double p0, double step, int maxout,
                             std::uint32_t seed, const std::string& where) {
    const int n = static_cast<int>(in.size());
    const auto hist0 = random_block<T>(11, seed);
    T pa = T(p0), pb = T(p0);
    auto ha = hist0, hb = hist0;
    std::vector<T> a(sz(maxout + 1), T(-9)), b(sz(maxout + 1), T(-9));
    int32_t na = -1, nb = -2;
    zr::test::resample(in.data(), n, a.data(), maxout, &na, &pa, T(step), ha.data());
    ref_resample(in.data(), n, b.data(), maxout, &nb, &pb, T(step), hb.data());
    EXPECT_EQ(na, nb) << where;
    EXPECT_EQ(std::memcmp(&pa, &pb, sizeof(T)), 0) << where;
    EXPECT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1) << where;
    EXPECT_EQ(first_bit_difference(ha.data(), hb.data(), 11), -1) << where;
    return na;
}

TYPED_TEST(BitExact, ResampleOverStepsPositionsAndSizes) {
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
                                         "step " + std::to_string(step) + " p " +
                                             std::to_string(p0) + " n " + std::to_string(n) +
                                             " maxout " + std::to_string(maxout));
                    if (::testing::Test::HasFailure())
                        return;
                }
            }
        }
    }
}

// Runs of outputs between two inputs of 15, 16 and 17 outputs (around the
// longest run the resampler forms side by side), steps whose runs alternate
// in length, and output space that ends inside a run.
TYPED_TEST(BitExact, ResampleRunsAroundTheGroupLength) {
    using T = TypeParam;
    std::uint32_t seed = 900;
    for (double step : {1.0 / 15, 0.0625, 1.0 / 17, 0.09, 0.2, 0.33}) {
        for (int maxout : {7, 16, 17, 33, 1000, 20000}) {
            const auto in = random_block<T>(1500, seed++);
            EXPECT_GT(expect_same_resample(in, -7.25, step, maxout, seed++,
                                           "step " + std::to_string(step) + " maxout " +
                                               std::to_string(maxout)),
                      0);
        }
    }
}

// A stream cut into blocks with position and history carried from call to call.
TYPED_TEST(BitExact, ResampleStreamOfBlocks) {
    using T = TypeParam;
    const auto in = random_block<T>(30000, 9);
    for (double step : {0.125, 0.4, 1.0, 1.9, 3.7}) {
        T pa = T(8.3), pb = T(8.3);
        std::vector<T> ha(11, T(0)), hb(11, T(0));
        std::vector<T> a(300000), b(300000);
        int oa = 0, ob = 0;
        for (int at = 0, k = 0; at < static_cast<int>(in.size()); ++k) {
            const int n = std::min<int>(kBlocks[sz(k) % std::size(kBlocks)],
                                        static_cast<int>(in.size()) - at);
            int32_t na = 0, nb = 0;
            zr::test::resample(in.data() + at, n, a.data() + oa, 300000 - oa, &na, &pa, T(step),
                               ha.data());
            ref_resample(in.data() + at, n, b.data() + ob, 300000 - ob, &nb, &pb, T(step),
                         hb.data());
            oa += na;
            ob += nb;
            at += n;
        }
        ASSERT_EQ(oa, ob);
        EXPECT_GT(oa, 7000);
        EXPECT_EQ(first_bit_difference(a.data(), b.data(), oa), -1) << step;
        EXPECT_EQ(std::memcmp(&pa, &pb, sizeof(T)), 0);
        EXPECT_EQ(first_bit_difference(ha.data(), hb.data(), 11), -1) << step;
    }
}

TEST(BitExact, ResampleKernelTableEntries) {
    // Table entries 1711 .. 2090 come back as the weight of the oldest
    // history sample for positions that fall exactly on a table entry.
    for (int c = 1711; c <= 2090; ++c) {
        double hist[11] = {1.0}, p = c / 380.0 - 11.0, out = -1.0;
        int32_t produced = 0;
        if ((p + 11.0) * 380.0 != static_cast<double>(c))
            continue; // only positions that land exactly on a table entry
        zrdsp_resample_double(nullptr, 0, &out, 1, &produced, &p, 1.0, hist);
        ASSERT_EQ(produced, 1);
        EXPECT_EQ(out, static_cast<double>(zr::ref::kernel_entry(c))) << c;
    }
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
            if (nt < 1)
                continue;
            for (double delay : {0.0, 1.0, 2.5, nt / 2.0, -3.25}) {
                auto desired = random_block<double>(2 * npts + 2, seed++);
                auto weights = random_block<double>(npts + 1, seed++);
                for (auto& w : weights)
                    w = 1.5 + w; // positive
                std::vector<double> a(sz(nt + 1), 0.0), b(sz(nt + 1), 0.0);
                const double sa =
                    zrdsp_fir_synth(desired.data(), weights.data(), npts, delay, a.data(), nt);
                const double sb =
                    zr::ref::fir_synth(desired.data(), weights.data(), npts, delay, b.data(), nt);
                ASSERT_EQ(sa, sb) << npts << " " << nt << " " << delay;
                ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1)
                    << npts << " " << nt << " " << delay;
            }
        }
    }
    // Singular and rejected cases.
    const std::vector<double> desired(66, 1.0), zeros(33, 0.0);
    std::vector<double> a(8, 0.0), b(8, 0.0);
    EXPECT_EQ(zrdsp_fir_synth(desired.data(), zeros.data(), 32, 0.0, a.data(), 8),
              zr::ref::fir_synth(desired.data(), zeros.data(), 32, 0.0, b.data(), 8));
    EXPECT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1);
}

} // namespace

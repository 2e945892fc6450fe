// The library picks the AVX butterflies when the processor has them and the
// portable ones otherwise; every path must give the reference's bits,
// whichever machine runs the tests. (The tiled bit reversal that every
// transform starts with is covered by the reference tests of every size.) The
// internal header is compiled into this test with the library's floating-point rules.
#include "fft_impl.hpp"
#include "reference_dsp.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using zr::test::first_bit_difference;
using zr::test::random_block;

template <typename T> class FftPaths : public ::testing::Test {};
TYPED_TEST_SUITE(FftPaths, zr::test::Precisions);

// A random block, and one with signed zeros and an infinity among the values.
template <typename T> std::vector<std::vector<T>> inputs(std::size_t n) {
    auto special = random_block<T>(2 * n, 901 + n);
    for (std::size_t i = 0; i < 2 * n; i += 5)
        special[i] = T(-0.0);
    if (n >= 4)
        special[3] = std::numeric_limits<T>::infinity();
    return {random_block<T>(2 * n, 900 + n), special};
}

// Bit reversal and butterfly stages of one path, from the smallest count it serves.
template <typename T> struct Path {
    const char* name;
    std::size_t min_count;
    void (*run)(T*, std::size_t, int);
};

template <typename T> std::vector<Path<T>> paths() {
    std::vector<Path<T>> p = {{"portable", 1, [](T* d, std::size_t n, int dir) {
                                   zr::dsp::bit_reverse(d, n);
                                   zr::dsp::butterfly_stages_portable(d, 2 * n, dir);
                               }}};
#ifdef ZRDSP_HAVE_AVX_PATH
    if (zr::dsp::cpu_has_avx()) {
        p.push_back({"avx", 1, [](T* d, std::size_t n, int dir) {
                         zr::dsp::bit_reverse(d, n);
                         zr::dsp::butterfly_stages_avx(d, 2 * n, dir);
                     }});
        // Past the block size, with an odd and an even number of stages after the blocks.
        p.push_back({"blocked", 8, [](T* d, std::size_t n, int dir) {
                         zr::dsp::bit_reverse_tiled(d, n);
                         zr::dsp::butterfly_stages_fast(d, n, dir);
                     }});
    }
#endif
    return p;
}

TYPED_TEST(FftPaths, EveryButterflyPathMatchesReference) {
    using T = TypeParam;
    for (const auto& path : paths<T>()) {
        for (std::size_t n = path.min_count; n <= 65536; n *= 2) {
            for (int dir : {1, -1}) {
                for (const auto& x : inputs<T>(n)) {
                    auto ref = x, lib = x;
                    zr::ref::fft(ref.data(), n, dir);
                    path.run(lib.data(), n, dir);
                    ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                        << path.name << " n=" << n << " dir=" << dir;
                }
            }
        }
    }
}

// Each version of the forward split in halves (portable and, on processors
// that have it, AVX), after the same complex transform.
TYPED_TEST(FftPaths, ForwardSplitVersionsMatchReference) {
    using T = TypeParam;
    using Split =
        void (*)(T*, std::size_t, const zr::dsp::SplitTwiddle&, double, const zr::dsp::ChainAhead&);
    std::vector<std::pair<const char*, Split>> versions = {
        {"portable", zr::dsp::real_split_halves_portable<T>}};
#ifdef ZRDSP_HAVE_AVX_PATH
    if (zr::dsp::cpu_has_avx())
        versions.push_back({"AVX", zr::dsp::real_split_halves_avx<T>});
#endif
    for (std::size_t n = 64; n <= 65536; n *= 4) {
        for (const auto& x : inputs<T>(n / 2)) {
            auto ref = x;
            zr::ref::realft(ref.data(), static_cast<unsigned long>(n), 1);
            for (const auto& [name, split] : versions) {
                auto lib = x;
                const zr::dsp::SplitTwiddle st(-zr::dsp::kPi / static_cast<double>(n / 2));
                zr::dsp::ChainAhead b{1.0 + st.wpr, st.wpi, st.wpr, st.wpi, n / 8 - 1};
                zr::dsp::fft_complex(lib.data(), n / 2, 1, &b);
                split(lib.data(), n, st, -0.5, b);
                ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), n), -1)
                    << name << " n=" << n;
            }
        }
    }
}

// One sine per stage serves two stages (half a stage's angle is the next
// stage's angle); the step constants are those of the two-sine setup.
TEST(FftStageSines, SameStepConstantsAsTwoSinesPerStage) {
    for (int dir : {1, -1}) {
        const zr::dsp::StageSines sines(30, dir);
        for (unsigned s = 1; s < 30; ++s) {
            const zr::dsp::StageTwiddle a(std::size_t{2} << s, dir);
            const zr::dsp::StageTwiddle b = sines.stage(s);
            EXPECT_EQ(std::memcmp(&a.wpr, &b.wpr, sizeof(double)), 0) << "stage " << s;
            EXPECT_EQ(std::memcmp(&a.wpi, &b.wpi, sizeof(double)), 0) << "stage " << s;
        }
    }
}

} // namespace

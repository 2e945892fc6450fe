// The library picks the AVX butterflies when the processor has them and the
// portable ones otherwise; both must give the reference's bits, whichever
// machine runs the tests. The internal header is compiled into this test with
// the library's floating-point rules.
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
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(FftPaths, Precisions);

template <typename T> std::vector<std::vector<T>> inputs(int n) {
    std::vector<std::vector<T>> v;
    v.push_back(random_block<T>(2 * n, 900 + n));
    auto special = random_block<T>(2 * n, 901 + n);
    for (int i = 0; i < 2 * n; i += 5)
        special[i] = T(-0.0);
    if (n >= 4)
        special[3] = std::numeric_limits<T>::infinity();
    v.push_back(special);
    return v;
}

TYPED_TEST(FftPaths, PortableButterfliesMatchReference) {
    using T = TypeParam;
    for (int n = 1; n <= 65536; n *= 2) {
        for (int dir : {1, -1}) {
            for (const auto& x : inputs<T>(n)) {
                auto ref = x, lib = x;
                zr::ref::fft(ref.data(), n, dir);
                zr::dsp::bit_reverse(lib.data(), n);
                zr::dsp::butterfly_stages_portable(lib.data(), 2 * n, dir);
                ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                    << "n=" << n << " dir=" << dir;
            }
        }
    }
}

TYPED_TEST(FftPaths, AvxButterfliesMatchReference) {
#ifdef ZRDSP_HAVE_AVX_PATH
    using T = TypeParam;
    if (!zr::dsp::cpu_has_avx())
        GTEST_SKIP() << "this processor has no AVX";
    for (int n = 1; n <= 65536; n *= 2) {
        for (int dir : {1, -1}) {
            for (const auto& x : inputs<T>(n)) {
                auto ref = x, lib = x;
                zr::ref::fft(ref.data(), n, dir);
                zr::dsp::bit_reverse(lib.data(), n);
                zr::dsp::butterfly_stages_avx(lib.data(), 2 * n, dir);
                ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                    << "n=" << n << " dir=" << dir;
            }
        }
    }
#else
    GTEST_SKIP() << "no AVX path in this build";
#endif
}

TYPED_TEST(FftPaths, BlockedFusedButterfliesMatchReference) {
#ifdef ZRDSP_HAVE_AVX_PATH
    using T = TypeParam;
    if (!zr::dsp::cpu_has_avx())
        GTEST_SKIP() << "this processor has no AVX";
    // From the smallest size they serve (8 points) past the block size, with
    // both an odd and an even number of stages after the blocks.
    for (int n = 8; n <= 65536; n *= 2) {
        for (int dir : {1, -1}) {
            for (const auto& x : inputs<T>(n)) {
                auto ref = x, lib = x;
                zr::ref::fft(ref.data(), n, dir);
                zr::dsp::bit_reverse_tiled(lib.data(), n);
                zr::dsp::butterfly_stages_fast(lib.data(), static_cast<std::size_t>(n), dir);
                ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                    << "n=" << n << " dir=" << dir;
            }
        }
    }
#else
    GTEST_SKIP() << "no AVX path in this build";
#endif
}

// The real transform at the sizes whose split runs in two halves, with
// signed zeros and an infinity among the samples, both directions.
TYPED_TEST(FftPaths, RealTransformSplitInHalvesMatchesReference) {
    using T = TypeParam;
    for (int n = 32; n <= 65536; n *= 2) {
        for (int dir : {1, -1}) {
            for (const auto& x : inputs<T>(n / 2)) {
                auto ref = x, lib = x;
                zr::ref::realft(ref.data(), static_cast<unsigned long>(n), dir);
                zr::dsp::fft_real(lib.data(), static_cast<std::size_t>(n), dir);
                ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                    << "n=" << n << " dir=" << dir;
            }
        }
    }
}

// Each version of the forward split in halves (portable, two-lane and, on
// processors that have it, four-lane), after the same complex transform.
TYPED_TEST(FftPaths, ForwardSplitVersionsMatchReference) {
    using T = TypeParam;
    using Split =
        void (*)(T*, std::size_t, const zr::dsp::SplitTwiddle&, double, const zr::dsp::ChainAhead&);
    std::vector<std::pair<const char*, Split>> versions = {
        {"portable", zr::dsp::real_split_halves_portable<T>},
        {"two-lane", zr::dsp::real_split_halves<T>}};
#ifdef ZRDSP_HAVE_AVX_PATH
    if (zr::dsp::cpu_has_avx())
        versions.push_back({"four-lane", zr::dsp::real_split_halves_avx<T>});
#endif
    for (std::size_t n = 64; n <= 65536; n *= 4) {
        for (const auto& x : inputs<T>(static_cast<int>(n / 2))) {
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

// The listed (small counts) and tiled reorderings move every point exactly
// where the counter walk does.
TYPED_TEST(FftPaths, TiledBitReversalIsTheSamePermutation) {
    using T = TypeParam;
    for (int n = 1; n <= (1 << 17); n *= 2) {
        std::vector<T> a(2 * n), b(2 * n);
        for (int i = 0; i < 2 * n; ++i)
            a[i] = b[i] = static_cast<T>(i);
        zr::dsp::bit_reverse(a.data(), n);
        zr::dsp::bit_reverse_tiled(b.data(), n);
        ASSERT_EQ(first_bit_difference(a.data(), b.data(), a.size()), -1) << "n=" << n;
    }
}

} // namespace

// The library against the literal reference of reference_dsp.h, bit for bit:
// transforms of every power-of-two size up to 65536 in both directions, with
// special values, also along the portable route of processors without AVX;
// windows of every type and flag; spectra in every scale mode (also with the
// output written over the input). The library's internal header is compiled
// into this test with the library's floating-point rules.
#include "fft_impl.hpp"
#include "reference_dsp.h"
#include "test_util.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

using zr::test::first_bit_difference;
using zr::test::Lib;
using zr::test::random_block;
using zr::test::sz;
using Msg = ::testing::Message;

template <typename T> class ReferenceBits : public ::testing::Test {};
TYPED_TEST_SUITE(ReferenceBits, zr::test::Precisions);

// The first ref.size() values of lib (all of them unless it was an in-place call).
template <typename T>
void expect_same_bits(const std::vector<T>& lib, const std::vector<T>& ref, const Msg& what) {
    ASSERT_GE(lib.size(), ref.size()) << what;
    const long at = first_bit_difference(lib.data(), ref.data(), ref.size());
    EXPECT_EQ(at, -1) << what << ": first difference at " << at << " library "
                      << (at >= 0 ? lib[sz(at)] : T(0)) << " reference "
                      << (at >= 0 ? ref[sz(at)] : T(0));
}

// 2n values: random, and the same with signed zeros and an infinity among them.
template <typename T> std::vector<std::vector<T>> random_and_special(std::size_t n) {
    auto special = random_block<T>(2 * n, 901 + n);
    for (std::size_t i = 0; i < 2 * n; i += 5)
        special[i] = T(-0.0);
    if (n >= 4)
        special[3] = std::numeric_limits<T>::infinity();
    return {random_block<T>(2 * n, 900 + n), special};
}

// Random blocks, signed and exact zeros, infinities, subnormals and values
// spread over the whole exponent range; direction 0 is the real inverse.
TYPED_TEST(ReferenceBits, TransformsEverySizeAndDirectionWithSpecialValues) {
    using T = TypeParam;
    const int max_exp = std::numeric_limits<T>::max_exponent - 8;
    const int min_exp = std::numeric_limits<T>::min_exponent - 12; // into the subnormals
    for (int32_t n = 1; n <= 65536; n *= 2) {
        auto blocks = random_and_special<T>(sz(n));
        blocks.push_back(std::vector<T>(sz(2 * n), T(-0.0)));
        blocks.push_back(std::vector<T>(sz(2 * n), T(0)));
        auto wide = random_block<T>(2 * n, 9);
        for (int32_t i = 0; i < 2 * n; ++i)
            wide[sz(i)] = std::ldexp(wide[sz(i)], min_exp + (i * 37) % (max_exp - min_exp));
        blocks.push_back(wide);
        for (const auto& b : blocks) {
            for (int16_t dir : {int16_t(1), int16_t(-1), int16_t(0)}) {
                auto lib = b, ref = b;
                if (dir != 0) {
                    Lib<T>::fft(lib.data(), n, dir);
                    zr::ref::fft(ref.data(), n, dir);
                    expect_same_bits(lib, ref, Msg() << "complex n=" << n << " dir=" << dir);
                }
                if (n < 4)
                    continue;
                std::vector<T> rl(b.begin(), b.begin() + n), rr = rl;
                Lib<T>::fft_real(rl.data(), n, dir);
                zr::ref::realft(rr.data(), n, dir == 1 ? 1 : -1);
                expect_same_bits(rl, rr, Msg() << "real n=" << n << " dir=" << dir);
            }
        }
    }
}

// Without AVX the transforms take the portable butterflies and, from 64
// samples, the portable forward split in halves; the entry points above take
// the AVX versions where the processor has them. So the portable route is run
// here directly, whichever machine runs the tests.
TYPED_TEST(ReferenceBits, PortableRouteWithoutAvx) {
    using T = TypeParam;
    for (std::size_t n = 1; n <= 65536; n *= 2)
        for (const auto& x : random_and_special<T>(n)) {
            for (int dir : {1, -1}) {
                auto ref = x, lib = x;
                zr::ref::fft(ref.data(), n, dir);
                zr::dsp::bit_reverse_tiled(lib.data(), n);
                zr::dsp::butterfly_stages_portable(lib.data(), 2 * n, dir);
                ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                    << "complex n=" << n << " dir=" << dir;
            }
            if (n < 32)
                continue;
            auto ref = x, lib = x; // a real transform of 2n samples
            zr::ref::realft(ref.data(), 2 * n, 1);
            const zr::dsp::SplitTwiddle st(-zr::dsp::kPi / static_cast<double>(n));
            zr::dsp::ChainAhead b{1.0 + st.wpr, st.wpi, st.wpr, st.wpi, n / 4 - 1};
            zr::dsp::fft_complex(lib.data(), n, 1, &b);
            zr::dsp::real_split_halves_portable(lib.data(), 2 * n, st, -0.5, b);
            ASSERT_EQ(first_bit_difference(lib.data(), ref.data(), lib.size()), -1)
                << "real split n=" << 2 * n;
        }
}

// One sine per stage serves two stages (half a stage's angle is the next
// stage's angle); the step constants are those of the two-sine setup, also
// for the sizes beyond those transformed above.
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

TYPED_TEST(ReferenceBits, WindowsEveryTypeFlagAndManyCounts) {
    using T = TypeParam;
    std::vector<int32_t> counts = {250, 1000, 1024, 4096, 65536};
    for (int32_t c = 2; c <= 70; c += 2)
        counts.push_back(c);
    for (int32_t count : counts)
        // The four types, and unknown codes (uniform).
        for (int16_t type :
             std::initializer_list<int16_t>{0, 1, 2, 3, 7, -1, 4, SHRT_MAX, SHRT_MIN})
            for (int16_t flag : {int16_t(0), int16_t(1), int16_t(-3)})
                for (T value : {T(1), T(6.32455532 / count), T(-2.5)}) {
                    std::vector<T> lib(sz(count)), ref(sz(count));
                    Lib<T>::window(lib.data(), count, type, flag, value);
                    zr::ref::window(ref.data(), count, type, flag, value);
                    expect_same_bits(lib, ref,
                                     Msg() << "window count=" << count << " type=" << type
                                           << " flag=" << flag << " value=" << value);
                }
}

// Magnitude, power, decibels, and codes that are none of them (power); a
// constant block's exact zeros outside bin 0 reach the decibel floor.
TYPED_TEST(ReferenceBits, SpectraEverySizeAndMode) {
    using T = TypeParam;
    for (int32_t n = 1; n <= 65536; n *= 2) {
        const auto data = random_block<T>(2 * n, 300 + n);
        const std::vector<T> ones(sz(2 * n), T(1));
        std::vector<T> win(sz(n), T(1));
        if (n >= 2)
            Lib<T>::window(win.data(), n, 3, 1, T(1));
        for (int16_t mode : std::initializer_list<int16_t>{0, 1, 2, 3, -1, 100, SHRT_MIN}) {
            auto check = [&](auto lib_fn, auto ref_fn, std::size_t size, const auto& x,
                             const auto& w, const char* what) {
                std::vector<T> lib(size), ref(size), inplace = x;
                lib_fn(x.data(), lib.data(), w.data(), n, mode);
                lib_fn(inplace.data(), inplace.data(), w.data(), n, mode);
                ref_fn(x.data(), ref.data(), w.data(), n, mode);
                expect_same_bits(lib, ref, Msg() << what << " n=" << n << " mode=" << mode);
                expect_same_bits(inplace, ref, Msg() << what << " in place");
            };
            check(Lib<T>::cspectrum, zr::ref::cspectrum<T>, sz(n), data, win, "cspectrum");
            if (n < 4)
                continue;
            check(Lib<T>::spectrum, zr::ref::spectrum<T>, sz(n / 2 + 1), data, win, "spectrum");
            check(Lib<T>::spectrum, zr::ref::spectrum<T>, sz(n / 2 + 1), ones, ones, "constant");
        }
    }
}

} // namespace

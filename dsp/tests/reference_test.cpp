// The library against the literal reference of reference_dsp.h, bit for bit:
// transforms of every power-of-two size up to 65536 in both directions,
// windows of every type and flag, spectra in every scale mode (also with the
// output written over the input).
#include "reference_dsp.h"
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using zr::test::first_bit_difference;
using zr::test::random_block;
using zr::test::sz;
using Msg = ::testing::Message;

template <typename T> class ReferenceBits : public ::testing::Test {};
TYPED_TEST_SUITE(ReferenceBits, zr::test::Precisions);

// The first ref.size() values of lib (all of them unless it was an in-place call).
template <typename T>
void expect_same_bits(const std::vector<T>& lib, const std::vector<T>& ref,
                      const ::testing::Message& what) {
    ASSERT_GE(lib.size(), ref.size()) << what;
    const long at = first_bit_difference(lib.data(), ref.data(), ref.size());
    EXPECT_EQ(at, -1) << what << ": first difference at " << at << " library "
                      << (at >= 0 ? lib[sz(at)] : T(0)) << " reference "
                      << (at >= 0 ? ref[sz(at)] : T(0));
}

TYPED_TEST(ReferenceBits, ComplexTransformEverySizeBothDirections) {
    using T = TypeParam;
    for (int32_t n = 1; n <= 65536; n *= 2) {
        for (int16_t dir : {int16_t(1), int16_t(-1)}) {
            auto lib = random_block<T>(2 * n, 100 + n + dir);
            auto ref = lib;
            zr::test::fft(lib.data(), n, dir);
            zr::ref::fft(ref.data(), n, dir);
            expect_same_bits(lib, ref, Msg() << "complex n=" << n << " dir=" << dir);
        }
    }
}

TYPED_TEST(ReferenceBits, RealTransformEverySizeBothDirections) {
    using T = TypeParam;
    for (int32_t n = 4; n <= 65536; n *= 2) {
        for (int16_t dir : {int16_t(1), int16_t(-1), int16_t(0)}) {
            auto lib = random_block<T>(n, 200 + n + dir);
            auto ref = lib;
            zr::test::fft_real(lib.data(), n, dir);
            zr::ref::realft(ref.data(), n, dir == 1 ? 1 : -1);
            expect_same_bits(lib, ref, Msg() << "real n=" << n << " dir=" << dir);
        }
    }
}

// Signed zeros, exact zeros, infinities, subnormals and values spread over
// the whole exponent range go through the same arithmetic.
TYPED_TEST(ReferenceBits, SpecialValuesTakeTheSamePath) {
    using T = TypeParam;
    const T inf = std::numeric_limits<T>::infinity();
    const int max_exp = std::numeric_limits<T>::max_exponent - 8;
    const int min_exp = std::numeric_limits<T>::min_exponent - 12; // into the subnormals
    for (int32_t n : {4, 8, 32, 64, 1024, 65536}) {
        std::vector<std::vector<T>> blocks;
        blocks.push_back(std::vector<T>(sz(2 * n), T(-0.0)));
        blocks.push_back(std::vector<T>(sz(2 * n), T(0)));
        auto mixed = random_block<T>(2 * n, 7);
        for (std::size_t i = 0; i < sz(2 * n); i += 3)
            mixed[i] = T(-0.0);
        blocks.push_back(mixed);
        auto withinf = random_block<T>(2 * n, 8);
        withinf[3] = inf;
        blocks.push_back(withinf);
        auto wide = random_block<T>(2 * n, 9);
        for (int32_t i = 0; i < 2 * n; ++i)
            wide[sz(i)] = std::ldexp(wide[sz(i)], min_exp + (i * 37) % (max_exp - min_exp));
        blocks.push_back(wide);
        for (const auto& b : blocks) {
            for (int16_t dir : {int16_t(1), int16_t(-1)}) {
                auto lib = b, ref = b;
                zr::test::fft(lib.data(), n, dir);
                zr::ref::fft(ref.data(), n, dir);
                expect_same_bits(lib, ref, Msg() << "complex special n=" << n << " dir=" << dir);
                std::vector<T> rl(b.begin(), b.begin() + n), rr = rl;
                zr::test::fft_real(rl.data(), n, dir);
                zr::ref::realft(rr.data(), n, dir);
                expect_same_bits(rl, rr, Msg() << "real special n=" << n << " dir=" << dir);
            }
        }
    }
}

// The four types, and unknown codes (uniform).
const int16_t kWindowTypes[] = {0, 1, 2, 3, 7, -1, 4, SHRT_MAX, SHRT_MIN};

TYPED_TEST(ReferenceBits, WindowsEveryTypeFlagAndManyCounts) {
    using T = TypeParam;
    std::vector<int32_t> counts;
    for (int32_t c = 2; c <= 70; c += 2)
        counts.push_back(c);
    for (int32_t c : {250, 1000, 1024, 4096, 65536})
        counts.push_back(c);
    for (int32_t count : counts) {
        for (int16_t type : kWindowTypes) {
            for (int16_t flag : {int16_t(0), int16_t(1), int16_t(-3)}) {
                for (T value : {T(1), T(6.32455532 / count), T(-2.5)}) {
                    std::vector<T> lib(sz(count)), ref(sz(count));
                    zr::test::window(lib.data(), count, type, flag, value);
                    zr::ref::window(ref.data(), count, type, flag, value);
                    expect_same_bits(lib, ref,
                                     Msg() << "window count=" << count << " type=" << type
                                           << " flag=" << flag << " value=" << value);
                }
            }
        }
    }
}

// Magnitude, power, decibels, and codes that are none of them (power).
const int16_t kModes[] = {0, 1, 2, 3, -1, 100, SHRT_MIN};

TYPED_TEST(ReferenceBits, RealSpectrumEverySizeAndMode) {
    using T = TypeParam;
    for (int32_t n = 4; n <= 65536; n *= 2) {
        auto data = random_block<T>(n, 300 + n);
        std::vector<T> win(sz(n));
        zr::test::window(win.data(), n, 2, 0, T(1));
        for (int16_t mode : kModes) {
            std::vector<T> lib(sz(n / 2 + 1)), ref(sz(n / 2 + 1)), inplace = data;
            zr::test::spectrum(data.data(), lib.data(), win.data(), n, mode);
            zr::test::spectrum(inplace.data(), inplace.data(), win.data(), n, mode);
            zr::ref::spectrum(data.data(), ref.data(), win.data(), n, mode);
            expect_same_bits(lib, ref, Msg() << "spectrum n=" << n << " mode=" << mode);
            expect_same_bits(inplace, ref, Msg() << "in place, n=" << n << " mode=" << mode);
        }
        // A constant block: exact zeros outside bin 0 exercise the decibel floor.
        std::vector<T> ones(sz(n), T(1)), lib(sz(n / 2 + 1)), ref(sz(n / 2 + 1));
        zr::test::spectrum(ones.data(), lib.data(), ones.data(), n, 2);
        zr::ref::spectrum(ones.data(), ref.data(), ones.data(), n, 2);
        expect_same_bits(lib, ref, Msg() << "constant spectrum n=" << n);
    }
}

TYPED_TEST(ReferenceBits, ComplexSpectrumEverySizeAndMode) {
    using T = TypeParam;
    for (int32_t n = 1; n <= 65536; n *= 2) {
        auto data = random_block<T>(2 * n, 400 + n);
        std::vector<T> win(sz(n), T(1));
        if (n >= 2)
            zr::test::window(win.data(), n, 3, 1, T(1));
        for (int16_t mode : kModes) {
            std::vector<T> lib(sz(n)), ref(sz(n)), inplace = data;
            zr::test::cspectrum(data.data(), lib.data(), win.data(), n, mode);
            zr::test::cspectrum(inplace.data(), inplace.data(), win.data(), n, mode);
            zr::ref::cspectrum(data.data(), ref.data(), win.data(), n, mode);
            expect_same_bits(lib, ref, Msg() << "cspectrum n=" << n << " mode=" << mode);
            expect_same_bits(inplace, ref, Msg() << "in place, n=" << n << " mode=" << mode);
        }
    }
}

} // namespace

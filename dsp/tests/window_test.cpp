// Analysis windows: hand-worked Hann values, the sums that fix the scale, the
// closed form of every type, symmetry, unknown type codes and bad counts.
#include "test_util.h"
#include "zrdsp_api.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

using zr::test::eps;

template <typename T> class Window : public ::testing::Test {};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(Window, Precisions);

// Coefficients of each type, written out independently of the library.
const std::vector<std::vector<double>> kCoefficients = {
    {1.0},
    {1.0, 1.0},
    {1.0, 1.45875529058, 0.543087184, 0.08816718498, 0.00390252806},
    {1.0, 1.941109216, 1.308381824, 0.40400112, 0.035108828},
};

// Closed form: sum_k c_k cos(2 pi k (i - count/2) / count).
double closed_form(int type, int count, int i) {
    double v = 0.0;
    const auto& c = kCoefficients[type];
    for (std::size_t k = 0; k < c.size(); ++k)
        v += c[k] * std::cos(2.0 * M_PI * static_cast<double>(k) * (i - count / 2) / count);
    return v;
}

template <typename T> std::vector<T> make(int count, int16_t type, int16_t flag, T value) {
    std::vector<T> w(count, T(-99));
    zr::test::window(w.data(), count, type, flag, value);
    return w;
}

template <typename T> double sum(const std::vector<T>& w) {
    double s = 0.0;
    for (T v : w)
        s += v;
    return s;
}

template <typename T> double sum_squares(const std::vector<T>& w) {
    double s = 0.0;
    for (T v : w)
        s += static_cast<double>(v) * v;
    return s;
}

TYPED_TEST(Window, UniformIsAllOnesForMeanAndRms) {
    using T = TypeParam;
    for (int count : {2, 4, 8, 10, 1024}) {
        for (int16_t flag : {int16_t(0), int16_t(1)}) {
            const auto w = make<T>(count, 0, flag, T(1));
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(w[i], T(1)) << "count=" << count << " flag=" << flag << " i=" << i;
        }
    }
}

TYPED_TEST(Window, HannOfEightPoints) {
    using T = TypeParam;
    const double want[] = {0, 0.292893, 1, 1.707107, 2, 1.707107, 1, 0.292893};
    const auto w = make<T>(8, 1, 0, T(1));
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(w[i], want[i], 1e-6) << "i=" << i;
    EXPECT_NEAR(sum(w), 8.0, 16 * eps<T>());
    EXPECT_NEAR(sum_squares(w), 12.0, 32 * eps<T>());
    // RMS scaling to 1 divides by sqrt(12/8).
    const auto r = make<T>(8, 1, 1, T(1));
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(r[i], want[i] / std::sqrt(1.5), 1e-6) << "i=" << i;
    EXPECT_NEAR(sum_squares(r) / 8.0, 1.0, 16 * eps<T>());
}

// With flag 0 the scale is count * value / S1 and S1 = count whenever the
// count exceeds K-1, so the window equals its closed form times value.
TYPED_TEST(Window, EveryTypeMatchesClosedFormScaledByValue) {
    using T = TypeParam;
    const double tol = 8 * eps<T>();
    for (int type = 0; type <= 3; ++type) {
        for (int count : {6, 8, 10, 16, 100, 1024, 4096}) {
            for (double value : {1.0, 0.25, -3.0}) {
                const auto w = make<T>(count, int16_t(type), 0, T(value));
                for (int i = 0; i < count; ++i)
                    ASSERT_NEAR(w[i], value * closed_form(type, count, i),
                                tol * 5 * std::fabs(value))
                        << "type=" << type << " count=" << count << " i=" << i;
            }
        }
    }
}

TYPED_TEST(Window, PeakAndEdgeValues) {
    using T = TypeParam;
    struct Case {
        int16_t type;
        double peak, edge, edge_tol;
    };
    for (const Case& c :
         {Case{0, 1.0, 1.0, 1e-7}, Case{1, 2.0, 0.0, 1e-7},
          Case{2, 3.09391218762, 6.7237e-05, 1e-9}, Case{3, 4.688600988, -0.00161968, 1e-8}}) {
        const auto w = make<T>(64, c.type, 0, T(1));
        EXPECT_NEAR(w[32], c.peak, 1e-6 * c.peak) << "type " << c.type;
        EXPECT_NEAR(w[0], c.edge, c.edge_tol) << "type " << c.type;
    }
}

// Four points: the fifth term does not cancel, S1 = 4 + 4 c4.
TYPED_TEST(Window, FourPointFiveTermWindowsCountTheLastTerm) {
    using T = TypeParam;
    for (int type : {2, 3}) {
        const double c4 = kCoefficients[type][4];
        const auto w = make<T>(4, int16_t(type), 0, T(1));
        const double g = 4.0 / (4.0 + 4.0 * c4);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(w[i], g * closed_form(type, 4, i), 8 * eps<T>()) << "type " << type;
        EXPECT_NEAR(sum(w), 4.0, 16 * eps<T>());
    }
    // The two-term window has no such term: S1 = count already at count 2.
    const auto h = make<T>(2, 1, 0, T(1));
    EXPECT_NEAR(h[0], 0.0, 1e-15);
    EXPECT_NEAR(h[1], 2.0, 4 * eps<T>());
}

TYPED_TEST(Window, UnknownTypeCodesAreUniform) {
    using T = TypeParam;
    for (int16_t type :
         {int16_t(7), int16_t(-1), int16_t(4), int16_t(SHRT_MAX), int16_t(SHRT_MIN)}) {
        const auto w = make<T>(16, type, 0, T(2.5));
        for (int i = 0; i < 16; ++i)
            ASSERT_EQ(w[i], T(2.5)) << "type=" << type;
    }
}

TYPED_TEST(Window, SymmetricAboutTheCentre) {
    using T = TypeParam;
    for (int16_t type : {int16_t(0), int16_t(1), int16_t(2), int16_t(3)}) {
        for (int count : {4, 6, 30, 512, 1000}) {
            const auto w = make<T>(count, type, 1, T(0.7));
            for (int j = 1; j < count / 2; ++j)
                ASSERT_EQ(w[count / 2 + j], w[count / 2 - j]) << "type=" << int(type) << " j=" << j;
        }
    }
}

// The front panel scales its windows to a sum of 6.32455532 for every size.
TYPED_TEST(Window, FrontPanelScalingGivesFixedSum) {
    using T = TypeParam;
    for (int16_t type : {int16_t(0), int16_t(1), int16_t(2), int16_t(3)}) {
        for (int count : {256, 1024, 16384}) {
            const auto w = make<T>(count, type, 0, T(6.32455532 / count));
            // Rounding of the running sums grows with the count.
            const double rel = 8 * eps<T>() + count * eps<double>();
            EXPECT_NEAR(sum(w), 6.32455532, 6.32455532 * rel) << "type " << type;
        }
    }
}

TYPED_TEST(Window, RmsFlagAnyNonZeroValue) {
    using T = TypeParam;
    for (int16_t flag : {int16_t(1), int16_t(-1), int16_t(2)}) {
        const auto w = make<T>(1024, 3, flag, T(0.5));
        EXPECT_NEAR(std::sqrt(sum_squares(w) / 1024), 0.5, 8 * eps<T>());
    }
}

TYPED_TEST(Window, CountsOutsideContractWriteNothing) {
    using T = TypeParam;
    for (int32_t count : {0, 1, 3, 7, 9, -2, -8, INT_MIN, INT_MAX}) {
        std::vector<T> w(16, T(-99));
        zr::test::window(w.data(), count, 1, 0, T(1));
        for (T v : w)
            ASSERT_EQ(v, T(-99)) << "count=" << count;
    }
    zr::test::window(static_cast<T*>(nullptr), 8, 1, 0, T(1));
}

TEST(WindowPrecision, SingleFollowsDouble) {
    for (int16_t type : {int16_t(1), int16_t(2), int16_t(3)}) {
        std::vector<float> f(2048);
        std::vector<double> d(2048);
        zrdsp_window(f.data(), 2048, type, 1, 1.0f);
        zrdsp_window_double(d.data(), 2048, type, 1, 1.0);
        for (int i = 0; i < 2048; ++i)
            ASSERT_NEAR(f[i], d[i], 4e-7 * (1.0 + std::fabs(d[i]))) << "type " << type;
    }
}

} // namespace

// Simulated acquisition: hand-worked values for the default setup, the trigger statuses, the
// band limits, the complex layout, and a literal evaluation of the signal formula as reference.
#include "simread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace {

using zr::SimSettings;
using zr::UniformSource;

constexpr double kPi = 3.141592654;
constexpr double kTrue2Pi = 6.283185307179586;

// The default baseband setup: 10.24 V range, internal clock, first bandwidth and sample-rate
// entries, centre frequency 0, "Input" trigger.
SimSettings baseband() {
    SimSettings s;
    s.rangeindex = 0;
    s.bwindex = 0;
    s.decimindex = 0;
    s.clockindex = 0;
    s.centerfreq = 0;
    s.trigtypeindex = 1;
    s.datatypeindex = 0;
    return s;
}

// Literal evaluation of the signal formula with direct cosines and sines, drawing random numbers
// from its own copy of the generator in the same order (phase first, then noise per sample).
struct Reference {
    int32_t status = 0;
    std::vector<float> data;
};

Reference reference(const SimSettings& s, UniformSource rng, int32_t count, double clock) {
    Reference ref;
    const double R = 0.02 * std::pow(2.0, 9 - s.rangeindex);
    double A0 = 0.00015 * R;
    double An = 0.0007 * R;
    int b = s.bwindex > 0 ? s.bwindex - 1 : 0;
    An = An / std::pow(2.0, b / 2.0);
    if (s.decimindex >= 1)
        b = b + 1;
    const double D = std::pow(2.0, b);
    const double fc = s.centerfreq;
    const double w0 = 6.283185308 * D * (-fc) / clock;
    const double w1 = 6.283185308 * D * (20000 - fc) / clock;
    const double w2 = 6.283185308 * D * (-20000 - fc) / clock;
    double A1 = 0.5, A2 = 0.5;
    if (w0 > kPi || w0 < -kPi)
        A0 = 0;
    if (w1 > kPi || w1 < -kPi)
        A1 = 0;
    if (w2 > kPi || w2 < -kPi)
        A2 = 0;
    double phi = 0;
    bool random = s.trigtypeindex == 4;
    if (s.trigtypeindex == 0 || s.trigtypeindex == 2) {
        ref.status = 2;
        return ref;
    }
    if (s.trigtypeindex == 3) {
        if (A1 == 0 && A2 == 0) {
            ref.status = 2;
            return ref;
        }
        random = (A1 == 0) != (A2 == 0);
    }
    if (random)
        phi = 2 * static_cast<double>(rng.next()) * kPi - 1;
    if (s.datatypeindex == 0) {
        for (int32_t n = 0; n < count; ++n) {
            const double r = rng.next();
            ref.data.push_back(static_cast<float>(A0 * std::cos(n * w0) +
                                                  A1 * std::cos(phi + n * w1) +
                                                  A2 * std::cos(n * w2 - phi) + An * (r - 0.5)));
        }
    } else {
        An = An / std::sqrt(2.0);
        for (int32_t n = 0; n < count; ++n) {
            const double r1 = rng.next();
            const double r2 = rng.next();
            ref.data.push_back(static_cast<float>(A0 * std::cos(n * w0) +
                                                  A1 * std::cos(phi + n * w1) +
                                                  A2 * std::cos(n * w2 - phi) + An * (r1 - 0.5)));
            ref.data.push_back(static_cast<float>(A0 * std::sin(n * w0) +
                                                  A1 * std::sin(phi + n * w1) +
                                                  A2 * std::sin(n * w2 - phi) + An * (r2 - 0.5)));
        }
    }
    return ref;
}

// simread and the literal formula agree to the rounding of the stored single value.
void expectMatchesReference(const SimSettings& s, int32_t count, double clock) {
    UniformSource rng;
    for (int i = 0; i < 5; ++i)
        rng.next(); // not at the start of the sequence
    const Reference ref = reference(s, rng, count, clock);
    std::vector<float> data(131073, 0.0f);
    ASSERT_EQ(zr::simread(s, rng, data, count), ref.status);
    ASSERT_EQ(ref.status, 0);
    for (std::size_t i = 0; i < ref.data.size(); ++i)
        ASSERT_NEAR(data[i], ref.data[i], 2.5e-7) << "value " << i;
}

TEST(UniformSourceTest, RepeatsItsSequenceAndStaysInUnitInterval) {
    UniformSource a, b;
    double sum = 0;
    const int n = 1000000;
    for (int i = 0; i < n; ++i) {
        const float x = a.next();
        ASSERT_EQ(x, b.next());
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
        sum += x;
    }
    EXPECT_NEAR(sum / n, 0.5, 0.002);
}

TEST(SimreadBaseband, DefaultSetupIsToneOffsetAndBoundedNoise) {
    UniformSource rng;
    const int32_t N = 4096;
    std::vector<float> data(131073, 0.0f);
    ASSERT_EQ(zr::simread(baseband(), rng, data, N), 0);
    double lo = 1, hi = -1, sum = 0;
    for (int32_t n = 0; n < N; ++n) {
        const double tone = std::cos(kTrue2Pi * 20000.0 * n / 20480000.0) + 0.001536;
        const double noise = data[n] - tone;
        ASSERT_LE(std::abs(noise), 0.003584 + 1e-6) << "sample " << n;
        lo = std::min(lo, noise);
        hi = std::max(hi, noise);
        sum += noise;
    }
    // The noise is really there, uniform over nearly its whole span, and centred.
    EXPECT_GT(hi, 0.0034);
    EXPECT_LT(lo, -0.0034);
    EXPECT_NEAR(sum / N, 0.0, 2e-4);
    // Nothing beyond the block is written.
    EXPECT_EQ(data[N], 0.0f);
}

TEST(SimreadBaseband, ConsecutiveBlocksDifferOnlyInNoise) {
    UniformSource rng;
    const int32_t N = 2048;
    std::vector<float> a(N), b(N);
    ASSERT_EQ(zr::simread(baseband(), rng, a, N), 0);
    ASSERT_EQ(zr::simread(baseband(), rng, b, N), 0);
    int differing = 0;
    for (int32_t n = 0; n < N; ++n) {
        ASSERT_LE(std::abs(a[n] - b[n]), 2 * 0.003584 + 1e-6);
        differing += a[n] != b[n];
    }
    EXPECT_GT(differing, N * 9 / 10);
}

TEST(SimreadBaseband, MatchesLiteralFormulaForManySetups) {
    SimSettings s = baseband();
    expectMatchesReference(s, 32768, 20480000.0);
    s.bwindex = 3; // noise / 2, one halving of the rate
    s.decimindex = 1;
    s.rangeindex = 4;
    s.centerfreq = 1234.5;
    expectMatchesReference(s, 8192, 20480000.0);
    s.trigtypeindex = 4; // random phase
    expectMatchesReference(s, 1024, 20480000.0);
    s.clockindex = 1;
    expectMatchesReference(s, 1024, 20000000.0);
    s.clockindex = 3;
    expectMatchesReference(s, 1024, 20000000.0);
    s.clockindex = 2;
    s.extclock = 10e6;
    expectMatchesReference(s, 1024, 10e6);
    s.clockindex = 5;
    expectMatchesReference(s, 1024, 10e6);
    s.extclock = 0; // a zero external clock falls back to the internal one
    expectMatchesReference(s, 1024, 20480000.0);
    s.clockindex = 9;
    s.extclock = 10e6;
    expectMatchesReference(s, 1024, 20480000.0);
}

TEST(SimreadBaseband, RandomPhaseTriggerTakesPhaseFromGenerator) {
    SimSettings s = baseband();
    s.trigtypeindex = 4; // "Immediate"
    UniformSource rng;
    UniformSource copy = rng;
    const double phi = 2 * static_cast<double>(copy.next()) * kPi - 1;
    const double r = copy.next();
    std::vector<float> data(64);
    ASSERT_EQ(zr::simread(s, rng, data, 64), 0);
    // At n = 0 the tones give 0.5 cos(phi) + 0.5 cos(-phi).
    EXPECT_NEAR(data[0], 0.001536 + std::cos(phi) + 0.007168 * (r - 0.5), 1e-6);
    // Two blocks do not start at the same phase.
    std::vector<float> next(64);
    ASSERT_EQ(zr::simread(s, rng, next, 64), 0);
    EXPECT_GT(std::abs(next[0] - data[0]), 1e-3);
}

TEST(SimreadBaseband, ToneIsNotClippedOnSmallestRange) {
    SimSettings s = baseband();
    s.rangeindex = 9; // 20 mV
    UniformSource rng;
    const int32_t N = 2048;
    std::vector<float> data(N);
    ASSERT_EQ(zr::simread(s, rng, data, N), 0);
    const float peak = *std::max_element(data.begin(), data.end());
    const float trough = *std::min_element(data.begin(), data.end());
    EXPECT_GT(peak, 0.999f);
    EXPECT_LT(peak, 1.0001f);
    EXPECT_LT(trough, -0.999f);
    // Offset 0.00015 * 0.02 and noise peak 0.0007 * 0.02 / 2 scale with the range.
    EXPECT_NEAR(data[0], 1.0 + 3e-6, 7e-6 + 1e-7);
}

TEST(SimreadBaseband, CentreAboveHalfRateRemovesOffset) {
    SimSettings s = baseband();
    UniformSource rng;
    const int32_t N = 32768;
    std::vector<float> data(N);
    // 10.25 MHz: the offset (at -10.25 MHz) leaves the band; the upper tone at -10.23 MHz stays.
    s.centerfreq = 10.25e6;
    ASSERT_EQ(zr::simread(s, rng, data, N), 0);
    const double w1 = 6.283185308 * (20000 - 10.25e6) / 20480000.0;
    double sum = 0;
    for (int32_t n = 0; n < N; ++n) {
        const double resid = data[n] - 0.5 * std::cos(n * w1);
        ASSERT_LE(std::abs(resid), 0.003584 + 1e-6) << n;
        sum += resid;
    }
    EXPECT_NEAR(sum / N, 0.0, 1e-4); // the 0.001536 offset is gone
    // 11 MHz: all three components are out of band, only noise remains.
    s.centerfreq = 11e6;
    ASSERT_EQ(zr::simread(s, rng, data, N), 0);
    sum = 0;
    for (int32_t n = 0; n < N; ++n) {
        ASSERT_LE(std::abs(data[n]), 0.003584 + 1e-6) << n;
        sum += data[n];
    }
    EXPECT_NEAR(sum / N, 0.0, 1e-4);
}

TEST(SimreadTrigger, SoftwareAndExternalNeverDeliver) {
    for (int16_t trig : {int16_t{0}, int16_t{2}}) {
        SimSettings s = baseband();
        s.trigtypeindex = trig;
        UniformSource rng;
        std::vector<float> data(1024, 7.0f);
        EXPECT_EQ(zr::simread(s, rng, data, 1024), 2);
        EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](float v) { return v == 7.0f; }));
    }
}

TEST(SimreadTrigger, MagnitudeNeedsSomethingInBand) {
    SimSettings s = baseband();
    s.trigtypeindex = 3;
    s.centerfreq = 11e6; // both tones out of band
    UniformSource rng;
    std::vector<float> data(1024, 7.0f);
    EXPECT_EQ(zr::simread(s, rng, data, 1024), 2);
    EXPECT_EQ(data[0], 7.0f);
    s.datatypeindex = 1;
    EXPECT_EQ(zr::simread(s, rng, data, 512), 2);
    EXPECT_EQ(data[0], 7.0f);
}

TEST(SimreadTrigger, MagnitudeWithBothTonesInBandBehavesLikeLevelTrigger) {
    SimSettings level = baseband();
    SimSettings mag = baseband();
    mag.trigtypeindex = 3;
    UniformSource a, b;
    std::vector<float> x(1024), y(1024);
    ASSERT_EQ(zr::simread(level, a, x, 1024), 0);
    ASSERT_EQ(zr::simread(mag, b, y, 1024), 0);
    EXPECT_EQ(x, y); // phase 0, no random number spent on it
}

TEST(SimreadTrigger, MagnitudeWithOneToneInBandUsesRandomPhase) {
    SimSettings s = baseband();
    s.trigtypeindex = 3;
    s.centerfreq = 10.25e6; // upper tone in band, lower tone and offset out
    UniformSource rng;
    UniformSource copy = rng;
    const double phi = 2 * static_cast<double>(copy.next()) * kPi - 1;
    const double r = copy.next();
    std::vector<float> data(16);
    ASSERT_EQ(zr::simread(s, rng, data, 16), 0);
    EXPECT_NEAR(data[0], 0.5 * std::cos(phi) + 0.007168 * (r - 0.5), 1e-6);
    expectMatchesReference(s, 4096, 20480000.0);
}

TEST(SimreadTrigger, OtherTypeCodesUsePhaseZero) {
    SimSettings s = baseband();
    s.trigtypeindex = 17;
    SimSettings level = baseband();
    UniformSource a, b;
    std::vector<float> x(256), y(256);
    ASSERT_EQ(zr::simread(s, a, x, 256), 0);
    ASSERT_EQ(zr::simread(level, b, y, 256), 0);
    EXPECT_EQ(x, y);
}

// DFT of complex points at bin k (negative k wraps), divided by N.
std::complex<double> bin(const std::vector<float>& d, int32_t N, int k) {
    std::complex<double> acc = 0;
    for (int32_t n = 0; n < N; ++n) {
        const double a = -kTrue2Pi * k * n / N;
        acc += std::complex<double>(d[2 * n], d[2 * n + 1]) * std::polar(1.0, a);
    }
    return acc / static_cast<double>(N);
}

TEST(SimreadComplex, TonesSitAtShiftedFrequenciesWithHalfAmplitude) {
    SimSettings s = baseband();
    s.datatypeindex = 1;
    s.centerfreq = 5000; // bins of 5 kHz at N = 4096
    const int32_t N = 4096;
    UniformSource rng;
    std::vector<float> data(2 * N + 1, 0.0f);
    ASSERT_EQ(zr::simread(s, rng, data, N), 0);
    const auto up = bin(data, N, 3);     // 20000 - 5000 = 15 kHz
    const auto lo = bin(data, N, -5);    // -20000 - 5000 = -25 kHz
    const auto off = bin(data, N, -1);   // -5 kHz
    const auto mirror = bin(data, N, 5); // +25 kHz: nothing there
    EXPECT_NEAR(up.real(), 0.5, 1e-4);
    EXPECT_NEAR(up.imag(), 0.0, 1e-4);
    EXPECT_NEAR(lo.real(), 0.5, 1e-4);
    EXPECT_NEAR(lo.imag(), 0.0, 1e-4);
    EXPECT_NEAR(off.real(), 0.001536, 1e-4);
    EXPECT_LT(std::abs(mirror), 1e-4);
    EXPECT_EQ(data[2 * N], 0.0f);
}

TEST(SimreadComplex, NoiseIsScaledDownByRootTwo) {
    SimSettings s = baseband();
    s.datatypeindex = 1;
    s.centerfreq = 11e6; // noise only
    const int32_t N = 32768;
    UniformSource rng;
    std::vector<float> data(2 * N);
    ASSERT_EQ(zr::simread(s, rng, data, N), 0);
    const double peak = 0.003584 / std::sqrt(2.0);
    float top = 0;
    for (float v : data) {
        ASSERT_LE(std::abs(v), peak + 1e-7);
        top = std::max(top, std::abs(v));
    }
    EXPECT_GT(top, 0.95 * peak);
}

TEST(SimreadComplex, MatchesLiteralFormula) {
    SimSettings s = baseband();
    s.datatypeindex = 1;
    s.centerfreq = -3.3e6;
    s.trigtypeindex = 4;
    s.bwindex = 2;
    expectMatchesReference(s, 16384, 20480000.0);
    s.datatypeindex = 5; // any non-zero type is complex
    expectMatchesReference(s, 1000, 20480000.0);
}

TEST(SimreadBounds, CountIsLimitedToTheArray) {
    UniformSource rng;
    std::vector<float> store(100, 7.0f);
    std::span<float> data(store.data(), 50);
    EXPECT_EQ(zr::simread(baseband(), rng, data, 1000), 0);
    EXPECT_NE(store[49], 7.0f);
    EXPECT_EQ(store[50], 7.0f);
    SimSettings c = baseband();
    c.datatypeindex = 1;
    std::span<float> odd(store.data() + 50, 11); // room for 5 complex points
    EXPECT_EQ(zr::simread(c, rng, odd, 1000), 0);
    EXPECT_NE(store[59], 7.0f);
    EXPECT_EQ(store[60], 7.0f);
    std::fill(store.begin(), store.end(), 7.0f);
    EXPECT_EQ(zr::simread(baseband(), rng, store, 0), 0);
    EXPECT_EQ(zr::simread(baseband(), rng, store, -5), 0);
    EXPECT_TRUE(std::all_of(store.begin(), store.end(), [](float v) { return v == 7.0f; }));
}

TEST(SimreadBounds, UnusableCentreFrequencyGivesNoiseNotNaN) {
    SimSettings s = baseband();
    s.centerfreq = std::nan("");
    UniformSource rng;
    std::vector<float> data(512);
    ASSERT_EQ(zr::simread(s, rng, data, 512), 0);
    for (float v : data)
        ASSERT_LE(std::abs(v), 0.003584 + 1e-6);
    s.centerfreq = INFINITY;
    ASSERT_EQ(zr::simread(s, rng, data, 512), 0);
    for (float v : data)
        ASSERT_LE(std::abs(v), 0.003584 + 1e-6);
}

TEST(PhasorTest, RotationFollowsDirectCosineAndSine) {
    struct Case {
        double phase, step;
    };
    const Case cases[] = {{0.0, 6.283185308 * 20000 / 20480000},
                          {0.7, -3.1415926},
                          {-1.0, 2.9},
                          {4.2, 1e-5},
                          {0.0, 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        zr::detail::Phasor p(c.phase, c.step);
        double worst = 0;
        for (int64_t n = 0; n < 65536; ++n) {
            const double angle = c.phase + static_cast<double>(n) * c.step;
            // Beyond the rotation's own error (a few 1e-14), the direct formula rounds its
            // argument: half an ulp of |angle|.
            const double tol = 1e-13 + std::abs(angle) * 0x1p-52;
            ASSERT_NEAR(p.re(), std::cos(angle), tol) << "step " << c.step << " n " << n;
            ASSERT_NEAR(p.im(), std::sin(angle), tol) << "step " << c.step << " n " << n;
            worst = std::max(worst, std::abs(p.re() - std::cos(angle)));
            p.advance();
        }
        // Where the argument stays small (|angle| < 1000 here) the two agree to 1e-12.
        if (std::abs(c.phase) + 65536 * std::abs(c.step) < 1000) {
            EXPECT_LT(worst, 1e-12);
        }
    }
}

} // namespace

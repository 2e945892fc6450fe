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
constexpr double kNoisePeak = 0.003584; // 0.0007 * 10.24 V / 2
constexpr double kInternal = 20480000.0;

// 10.24 V range, internal clock, first bandwidth and sample-rate entries, centre 0, "Input"
// trigger (every block starts at phase 0), real samples.
SimSettings baseband() {
    SimSettings s;
    s.trigtypeindex = 1;
    return s;
}

// Literal evaluation of the signal formula with direct cosines and sines, drawing random numbers
// from its own copy of the generator in the same order (phase first, then noise per sample).
std::vector<float> reference(const SimSettings& s, UniformSource rng, int32_t count, double clock) {
    const double R = 0.02 * std::pow(2.0, 9 - s.rangeindex);
    double A0 = 0.00015 * R, An = 0.0007 * R;
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
    bool random = s.trigtypeindex == 4;
    if (s.trigtypeindex == 3)
        random = (A1 == 0) != (A2 == 0);
    const double phi = random ? 2 * static_cast<double>(rng.next()) * kPi - 1 : 0.0;
    std::vector<float> out;
    if (s.datatypeindex != 0)
        An = An / std::sqrt(2.0);
    for (int32_t n = 0; n < count; ++n) {
        const double r1 = rng.next();
        out.push_back(static_cast<float>(A0 * std::cos(n * w0) + A1 * std::cos(phi + n * w1) +
                                         A2 * std::cos(n * w2 - phi) + An * (r1 - 0.5)));
        if (s.datatypeindex == 0)
            continue;
        const double r2 = rng.next();
        out.push_back(static_cast<float>(A0 * std::sin(n * w0) + A1 * std::sin(phi + n * w1) +
                                         A2 * std::sin(n * w2 - phi) + An * (r2 - 0.5)));
    }
    return out;
}

TEST(SimreadBaseband, DefaultSetupIsToneOffsetAndBoundedNoiseThatChangesPerBlock) {
    UniformSource rng;
    const int32_t N = 4096;
    std::vector<float> data(131073, 0.0f);
    ASSERT_EQ(zr::simread(baseband(), rng, data, N), 0);
    double lo = 1, hi = -1, sum = 0;
    for (int32_t n = 0; n < N; ++n) {
        const double noise = data[n] - (std::cos(kTrue2Pi * 20000.0 * n / kInternal) + 0.001536);
        ASSERT_LE(std::abs(noise), kNoisePeak + 1e-6) << "sample " << n;
        lo = std::min(lo, noise);
        hi = std::max(hi, noise);
        sum += noise;
    }
    // The noise is really there, uniform over nearly its whole span, and centred.
    EXPECT_GT(hi, 0.0034);
    EXPECT_LT(lo, -0.0034);
    EXPECT_NEAR(sum / N, 0.0, 2e-4);
    EXPECT_EQ(data[N], 0.0f); // nothing beyond the block is written
    // The next block has the same tone and new noise: the generator runs on.
    std::vector<float> next(N);
    ASSERT_EQ(zr::simread(baseband(), rng, next, N), 0);
    int differing = 0;
    for (int32_t n = 0; n < N; ++n) {
        ASSERT_LE(std::abs(next[n] - data[n]), 2 * kNoisePeak + 1e-6);
        differing += next[n] != data[n];
    }
    EXPECT_GT(differing, N * 9 / 10);
}

TEST(Simread, MatchesLiteralFormulaForManySetups) {
    struct Case {
        const char* what;
        int16_t bw, decim, range, clock, trig, type;
        double centre, ext;
        int32_t count;
        double rate;
    };
    const Case cases[] = {
        {"default", 0, 0, 0, 0, 1, 0, 0, 0, 32768, kInternal},
        {"bandwidth, decimation, range, centre", 3, 1, 4, 0, 1, 0, 1234.5, 0, 8192, kInternal},
        {"random phase", 3, 1, 4, 0, 4, 0, 1234.5, 0, 1024, kInternal},
        {"20 MHz", 3, 1, 4, 1, 4, 0, 1234.5, 0, 1024, 20e6},
        {"20 MHz locked", 3, 1, 4, 3, 4, 0, 1234.5, 0, 1024, 20e6},
        {"external", 3, 1, 4, 2, 4, 0, 1234.5, 10e6, 1024, 10e6},
        {"external code 5", 3, 1, 4, 5, 4, 0, 1234.5, 10e6, 1024, 10e6},
        {"zero external clock: internal", 3, 1, 4, 5, 4, 0, 1234.5, 0, 1024, kInternal},
        {"unknown clock code: internal", 3, 1, 4, 9, 4, 0, 1234.5, 10e6, 1024, kInternal},
        {"magnitude, one tone in band", 0, 0, 0, 0, 3, 0, 10.25e6, 0, 4096, kInternal},
        {"complex", 2, 0, 0, 0, 4, 1, -3.3e6, 0, 16384, kInternal},
        {"any non-zero type is complex", 2, 0, 0, 0, 4, 5, -3.3e6, 0, 1000, kInternal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimSettings s = baseband();
        s.bwindex = c.bw;
        s.decimindex = c.decim;
        s.rangeindex = c.range;
        s.clockindex = c.clock;
        s.trigtypeindex = c.trig;
        s.datatypeindex = c.type;
        s.centerfreq = c.centre;
        s.extclock = c.ext;
        UniformSource rng;
        for (int i = 0; i < 5; ++i)
            rng.next(); // not at the start of the sequence
        const std::vector<float> ref = reference(s, rng, c.count, c.rate);
        std::vector<float> data(131073, 0.0f);
        ASSERT_EQ(zr::simread(s, rng, data, c.count), 0);
        for (std::size_t i = 0; i < ref.size(); ++i) {
            ASSERT_NEAR(data[i], ref[i], 2.5e-7) << "value " << i;
        }
    }
}

// "Immediate", and "Magnitude" with only one tone in band, start at a phase drawn from the
// generator: at n = 0 the tones give 0.5 cos(phi) each.
TEST(Simread, RandomPhaseIsTakenFromTheGenerator) {
    struct Case {
        int16_t trig;
        double centre, offset, tones;
    };
    for (const Case& c : {Case{4, 0.0, 0.001536, 1.0}, Case{3, 10.25e6, 0.0, 0.5}}) {
        SimSettings s = baseband();
        s.trigtypeindex = c.trig;
        s.centerfreq = c.centre;
        UniformSource rng;
        UniformSource copy = rng;
        const double phi = 2 * static_cast<double>(copy.next()) * kPi - 1;
        const double r = copy.next();
        std::vector<float> data(64), next(64);
        ASSERT_EQ(zr::simread(s, rng, data, 64), 0);
        EXPECT_NEAR(data[0], c.offset + c.tones * std::cos(phi) + 0.007168 * (r - 0.5), 1e-6)
            << c.trig;
        ASSERT_EQ(zr::simread(s, rng, next, 64), 0);
        EXPECT_GT(std::abs(next[0] - data[0]), 1e-3) << "two blocks at the same phase";
    }
}

TEST(Simread, TriggerStatuses) {
    struct Case {
        int16_t trig;
        double centre;
        int16_t type;
        bool delivers; // false: status 2 and nothing written; true: the "Input" trigger's block
    };
    const Case cases[] = {
        {0, 0, 0, false},    // Software never fires in simulation
        {2, 0, 0, false},    // nor External
        {3, 11e6, 0, false}, // Magnitude with both tones out of band
        {3, 11e6, 1, false}, // ... also for complex data
        {3, 0, 0, true},     // Magnitude with both tones in band: phase 0, no random number
        {17, 0, 0, true},    // other codes: phase 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trig);
        SimSettings s = baseband();
        s.trigtypeindex = c.trig;
        s.centerfreq = c.centre;
        s.datatypeindex = c.type;
        SimSettings level = s;
        level.trigtypeindex = 1;
        UniformSource a, b;
        std::vector<float> x(1024, 7.0f), y(1024, 7.0f);
        EXPECT_EQ(zr::simread(s, a, x, 512), c.delivers ? 0 : 2);
        if (c.delivers) {
            ASSERT_EQ(zr::simread(level, b, y, 512), 0);
            EXPECT_EQ(x, y);
        } else {
            EXPECT_TRUE(std::all_of(x.begin(), x.end(), [](float v) { return v == 7.0f; }));
        }
    }
}

// DFT of complex points at bin k (negative k wraps), divided by N.
std::complex<double> bin(const std::vector<float>& d, int32_t N, int k) {
    std::complex<double> acc = 0;
    for (int32_t n = 0; n < N; ++n)
        acc +=
            std::complex<double>(d[2 * n], d[2 * n + 1]) * std::polar(1.0, -kTrue2Pi * k * n / N);
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
    const auto up = bin(data, N, 3);  // 20000 - 5000 = 15 kHz
    const auto lo = bin(data, N, -5); // -20000 - 5000 = -25 kHz
    EXPECT_NEAR(up.real(), 0.5, 1e-4);
    EXPECT_NEAR(up.imag(), 0.0, 1e-4);
    EXPECT_NEAR(lo.real(), 0.5, 1e-4);
    EXPECT_NEAR(lo.imag(), 0.0, 1e-4);
    EXPECT_NEAR(bin(data, N, -1).real(), 0.001536, 1e-4); // the offset at -5 kHz
    EXPECT_LT(std::abs(bin(data, N, 5)), 1e-4);           // +25 kHz: nothing there
    EXPECT_EQ(data[2 * N], 0.0f);
}

TEST(SimreadBounds, CountIsLimitedToTheArray) {
    UniformSource rng;
    std::vector<float> store(100, 7.0f);
    EXPECT_EQ(zr::simread(baseband(), rng, std::span<float>(store.data(), 50), 1000), 0);
    EXPECT_NE(store[49], 7.0f);
    EXPECT_EQ(store[50], 7.0f);
    SimSettings c = baseband();
    c.datatypeindex = 1;
    // Room for 5 complex points.
    EXPECT_EQ(zr::simread(c, rng, std::span<float>(store.data() + 50, 11), 1000), 0);
    EXPECT_NE(store[59], 7.0f);
    EXPECT_EQ(store[60], 7.0f);
    std::fill(store.begin(), store.end(), 7.0f);
    EXPECT_EQ(zr::simread(baseband(), rng, store, 0), 0);
    EXPECT_EQ(zr::simread(baseband(), rng, store, -5), 0);
    EXPECT_TRUE(std::all_of(store.begin(), store.end(), [](float v) { return v == 7.0f; }));
}

TEST(SimreadBounds, UnusableCentreFrequencyGivesNoiseNotNaN) {
    for (double centre : {std::nan(""), static_cast<double>(INFINITY)}) {
        SimSettings s = baseband();
        s.centerfreq = centre;
        UniformSource rng;
        std::vector<float> data(512);
        ASSERT_EQ(zr::simread(s, rng, data, 512), 0);
        for (float v : data) {
            ASSERT_LE(std::abs(v), kNoisePeak + 1e-6) << centre;
        }
    }
}

TEST(PhasorTest, RotationFollowsDirectCosineAndSine) {
    const std::pair<double, double> cases[] = {{0.0, 6.283185308 * 20000 / kInternal},
                                               {0.7, -3.1415926},
                                               {-1.0, 2.9},
                                               {4.2, 1e-5},
                                               {0, 0}};
    for (const auto& [phase, step] : cases) {
        zr::detail::Phasor p(phase, step);
        double worst = 0;
        for (int64_t n = 0; n < 65536; ++n) {
            const double angle = phase + static_cast<double>(n) * step;
            // Beyond the rotation's own error (a few 1e-14), the direct formula rounds its
            // argument: half an ulp of |angle|.
            const double tol = 1e-13 + std::abs(angle) * 0x1p-52;
            ASSERT_NEAR(p.re(), std::cos(angle), tol) << "step " << step << " n " << n;
            ASSERT_NEAR(p.im(), std::sin(angle), tol) << "step " << step << " n " << n;
            worst = std::max(worst, std::abs(p.re() - std::cos(angle)));
            p.advance();
        }
        // Where the argument stays small (|angle| < 1000 here) the two agree to 1e-12.
        if (std::abs(phase) + 65536 * std::abs(step) < 1000) {
            EXPECT_LT(worst, 1e-12) << step;
        }
    }
}

} // namespace

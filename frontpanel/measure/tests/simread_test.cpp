// Simulated acquisition against a literal evaluation of the signal formula, the trigger statuses
// and the array limits. The hand-worked tone and offset are checked through the spectrum of a
// whole pass and in the window.
#include "simread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

using zr::SimSettings;
using zr::UniformSource;

constexpr double kPi = 3.141592654;
constexpr double kNoisePeak = 0.003584; // 0.0007 * 10.24 V / 2
constexpr double kInternal = 20480000.0;

// 10.24 V range, internal clock, centre 0, "Input" trigger (phase 0), real samples.
SimSettings baseband() {
    SimSettings s;
    s.trigtypeindex = 1;
    return s;
}

// The signal formula with direct cosines and sines, drawing from the generator in the same order
// (phase first, then noise per sample).
std::vector<float> reference(const SimSettings& s, UniformSource& rng, int32_t count,
                             double clock) {
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

// Each setup against the literal formula; a block that is not delivered (status 2) leaves the
// array and the generator alone, and the next block draws where this one stopped.
TEST(Simread, MatchesLiteralFormulaForManySetups) {
    struct Case {
        const char* what;
        int16_t bw, decim, range, clock, trig, type;
        double centre, ext;
        int32_t count;
        double rate;
        int32_t status;
    };
    const Case cases[] = {
        {"default", 0, 0, 0, 0, 1, 0, 0, 0, 32768, kInternal, 0},
        {"bandwidth, decimation, range, centre", 3, 1, 4, 0, 1, 0, 1234.5, 0, 8192, kInternal, 0},
        {"random phase, 20 MHz", 3, 1, 4, 1, 4, 0, 1234.5, 0, 1024, 20e6, 0},
        {"external", 3, 1, 4, 2, 4, 0, 1234.5, 10e6, 1024, 10e6, 0},
        {"zero external clock: internal", 3, 1, 4, 5, 4, 0, 1234.5, 0, 1024, kInternal, 0},
        {"magnitude, one tone in band", 0, 0, 0, 0, 3, 0, 10.25e6, 0, 4096, kInternal, 0},
        {"complex", 2, 0, 0, 0, 4, 1, -3.3e6, 0, 16384, kInternal, 0},
        {"other trigger codes: phase 0", 0, 0, 0, 0, 17, 0, 0, 0, 512, kInternal, 0},
        {"software never fires in simulation", 0, 0, 0, 0, 0, 0, 0, 0, 512, kInternal, 2},
        {"magnitude, both tones out of band", 0, 0, 0, 0, 3, 0, 11e6, 0, 512, kInternal, 2},
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
        UniformSource expected = rng;
        std::vector<float> data(131073, 7.0f);
        ASSERT_EQ(zr::simread(s, rng, data, c.count), c.status);
        const std::vector<float> ref = c.status == 0 ? reference(s, expected, c.count, c.rate)
                                                     : std::vector<float>(131073, 7.0f);
        for (std::size_t i = 0; i < ref.size(); ++i) {
            ASSERT_NEAR(data[i], ref[i], 2.5e-7) << "value " << i;
        }
        EXPECT_EQ(rng.next(), expected.next());
    }
}

TEST(SimreadBounds, CountIsLimitedToTheArrayAndAnUnusableCentreGivesNoiseNotNaN) {
    UniformSource rng;
    std::vector<float> store(100, 7.0f);
    SimSettings c = baseband();
    c.datatypeindex = 1;
    EXPECT_EQ(zr::simread(c, rng, std::span<float>(store.data(), 11), 1000), 0);
    EXPECT_NE(store[9], 7.0f); // room for 5 complex points
    EXPECT_EQ(store[10], 7.0f);
    EXPECT_EQ(zr::simread(baseband(), rng, std::span<float>(store.data() + 10, 90), -5), 0);
    EXPECT_EQ(store[10], 7.0f);
    for (double centre : {std::nan(""), static_cast<double>(INFINITY)}) {
        SimSettings s = baseband();
        s.centerfreq = centre;
        std::vector<float> data(512);
        ASSERT_EQ(zr::simread(s, rng, data, 512), 0);
        for (float v : data) {
            ASSERT_LE(std::abs(v), kNoisePeak + 1e-6) << centre;
        }
    }
}

} // namespace

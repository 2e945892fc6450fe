// The read/start protocol and the content of the synthesised blocks, checked
// against hand-worked numbers: a 1 V peak 20 kHz tone, offset 0.00015 x full
// scale, sample rate clock / 2^(k + d), zoom mixing by the centre frequency.
#include "driver_test_util.h"

#include <algorithm>

using namespace zrtest;

namespace {

class SimDriverAcquisition : public ::testing::Test {
protected:
    void SetUp() override { instr = openDefault(); }
    void TearDown() override { ZRQ(close)(instr); }
    int32_t nextError() {
        int32_t code = -1;
        char text[ZRQ7010_TEXT_SIZE];
        EXPECT_EQ(ZRQ(error_query)(instr, &code, text), ZRQ7010_SUCCESS);
        return code;
    }
    int32_t instr = 0;
};

// Mean phase step per sample of complex (re, im) pairs, in radians.
double meanTurn(const std::vector<float>& z) {
    double turn = 0;
    const std::size_t n = z.size() / 2;
    for (std::size_t i = 1; i < n; ++i)
        turn += std::arg(std::complex<double>(z[2 * i], z[2 * i + 1]) *
                         std::conj(std::complex<double>(z[2 * i - 2], z[2 * i - 1])));
    return turn / static_cast<double>(n - 1);
}

} // namespace

TEST_F(SimDriverAcquisition, ReadNeedsAStartForEveryBlock) {
    std::vector<float> data(256, -7.0f);
    int16_t overload = -1;
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_NOT_READY);
    EXPECT_EQ(data[0], -7.0f); // nothing written without a block
    EXPECT_EQ(overload, -1);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_SUCCESS);
    EXPECT_EQ(overload, 0);
    EXPECT_NE(data[0], -7.0f);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_NOT_READY);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_SUCCESS);
}

TEST_F(SimDriverAcquisition, ReadWritesExactlyTheBlockLength) {
    std::vector<float> data(300, -7.0f);
    int16_t overload = 0;
    ZRQ(meas_start)(instr);
    ASSERT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_SUCCESS);
    EXPECT_TRUE(std::all_of(data.begin() + 256, data.end(), [](float v) { return v == -7.0f; }));
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 0, &overload), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 40000, &overload), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(ZRQ(read)(instr, nullptr, 256, &overload), ZRQ7010_ERR_NULL_POINTER);
}

TEST_F(SimDriverAcquisition, BasebandToneHasItsAmplitudeFrequencyAndOffset) {
    // Bandwidth step 5: k = 4, fs = 20.48 MHz / 16 = 1.28 MHz; 4096 samples
    // span 3.2 ms = 64 periods of 20 kHz.
    ZRQ(filter_bw)(instr, 5);
    const std::vector<float> x = acquire(instr, 4096);
    EXPECT_EQ(risingCrossings(x), 64);
    EXPECT_NEAR(binAmplitude(x, 64), 1.0, 0.002);
    EXPECT_LT(binAmplitude(x, 63), 0.01);
    EXPECT_NEAR(mean(x), 0.00015 * 10.24, 0.0002);
    const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
    EXPECT_NEAR(*hi, 1.0015, 0.003);
    EXPECT_NEAR(*lo, -0.9985, 0.003);
}

TEST_F(SimDriverAcquisition, DecimationAndClockSetTheSampleRate) {
    ZRQ(filter_bw)(instr, 5);
    ZRQ(filter_decimate)(instr, 1); // fs = 640 kHz: 128 periods in 4096 samples
    EXPECT_EQ(risingCrossings(acquire(instr, 4096)), 128);
    ZRQ(filter_decimate)(instr, 0);
    ZRQ(clock_source)(instr, 1); // 20 MHz: fs = 1.25 MHz, 65.536 periods
    const int n = risingCrossings(acquire(instr, 4096));
    EXPECT_TRUE(n == 65 || n == 66) << n;
    ZRQ(clock_source)(instr, 0);
    ZRQ(filter_bw)(instr, 0); // analog filter only: fs = 20.48 MHz, 4 periods
    EXPECT_EQ(risingCrossings(acquire(instr, 4096)), 4);
}

TEST_F(SimDriverAcquisition, ExternalClockFrequencyComesFromTheEnvironment) {
    ASSERT_EQ(setenv("ZRQ7010_EXT_CLOCK", "10240000", 1), 0);
    ZRQ(clock_source)(instr, 2);
    ZRQ(filter_bw)(instr, 5); // fs = 640 kHz
    EXPECT_EQ(risingCrossings(acquire(instr, 4096)), 128);
    unsetenv("ZRQ7010_EXT_CLOCK"); // default external clock: 20.48 MHz
    EXPECT_EQ(risingCrossings(acquire(instr, 4096)), 64);
}

TEST_F(SimDriverAcquisition, ToneOutsideTheBandwidthIsFilteredOut) {
    ZRQ(filter_bw)(instr, 12); // passband 0.390625 * 20.48 MHz / 4096 = 1953 Hz
    const std::vector<float> x = acquire(instr, 1024);
    for (float v : x) {
        ASSERT_NEAR(v, 0.001536, 0.002);
    }
}

TEST_F(SimDriverAcquisition, SignalOffAndAutoZeroLeaveOnlyNoise) {
    ZRQ(input_signal)(instr, 0);
    std::vector<float> x = acquire(instr, 2048);
    EXPECT_NEAR(mean(x), 0.001536, 0.0002);
    EXPECT_LT(*std::max_element(x.begin(), x.end()), 0.001536 + 0.0036);
    ZRQ(input_autozero)(instr);
    x = acquire(instr, 2048);
    EXPECT_NEAR(mean(x), 0.0, 0.0002);
    ZRQ(input_signal)(instr, 1);
    ZRQ(input_coupling)(instr, 1); // AC coupling removes the offset too
    ZRQ(input_range)(instr, 9);    // a range change undoes the auto zero
    ZRQ(filter_bw)(instr, 5);
    EXPECT_NEAR(mean(acquire(instr, 4096)), 0.0, 0.0002);
}

TEST_F(SimDriverAcquisition, OverloadFlagFollowsTheRange) {
    const struct {
        int16_t signal, range, overload;
    } cases[] = {{1, 0, 1},  // 20 mV
                 {1, 5, 1},  // 640 mV: still below the 1 V tone
                 {1, 6, 0},  // 1.28 V
                 {0, 0, 0}}; // offset and noise only
    for (const auto& c : cases) {
        int16_t overload = -1;
        ZRQ(input_signal)(instr, c.signal);
        ZRQ(input_range)(instr, c.range);
        acquire(instr, 64, &overload);
        EXPECT_EQ(overload, c.overload) << c.signal << " " << c.range;
    }
}

TEST_F(SimDriverAcquisition, SixteenBitResolutionQuantisesToTheRange) {
    ZRQ(input_range)(instr, 6); // q = 1.28 / 32768
    ZRQ(data_resolution)(instr, 1);
    const double q = 1.28 / 32768.0;
    for (float v : acquire(instr, 512)) {
        // Each sample is a whole number of steps, rounded once to float.
        ASSERT_EQ(v, static_cast<float>(std::nearbyint(v / q) * q)) << v;
    }
}

TEST_F(SimDriverAcquisition, ZoomDataAreTheInputMixedDownByTheCentre) {
    // Bandwidth step 10: fs = 40 kHz, passband +-7812.5 Hz.
    ZRQ(data_type)(instr, 1);
    ZRQ(filter_bw)(instr, 10);
    // Centre 15 kHz: the upper half of the tone at +5 kHz passes; the lower
    // half (-35 kHz) and the offset (-15 kHz) are outside the band.
    ZRQ(frequency_center)(instr, 15000.0 / 20480000.0);
    const std::vector<float> z = acquire(instr, 256, nullptr, true);
    for (int n = 0; n < 256; ++n)
        ASSERT_NEAR(std::hypot(z[2 * n], z[2 * n + 1]), 0.5, 0.01) << n;
    EXPECT_NEAR(meanTurn(z), 2 * M_PI * 5000 / 40000, 0.01); // +5 kHz: pi/4 per sample
    // Centre -15 kHz: now the lower half appears at -5 kHz.
    ZRQ(frequency_center)(instr, -15000.0 / 20480000.0);
    EXPECT_NEAR(meanTurn(acquire(instr, 256, nullptr, true)), -2 * M_PI * 5000 / 40000, 0.01);
}

TEST_F(SimDriverAcquisition, ZoomAtZeroCentreShowsBothHalvesAndTheOffset) {
    ZRQ(data_type)(instr, 1);
    ZRQ(filter_bw)(instr, 5); // fs = 1.28 MHz
    const std::vector<float> z = acquire(instr, 4096, nullptr, true);
    std::vector<float> re(4096);
    std::vector<float> im(4096);
    for (int n = 0; n < 4096; ++n) {
        re[n] = z[2 * n];
        im[n] = z[2 * n + 1];
    }
    // Two halves of 0.5 at +-20 kHz add up to the real 1 V cosine.
    EXPECT_NEAR(binAmplitude(re, 64), 1.0, 0.002);
    EXPECT_LT(binAmplitude(im, 64), 0.002);
    EXPECT_NEAR(mean(re), 0.001536, 0.0002);
}

TEST_F(SimDriverAcquisition, BadSetupIsRefusedAndQueued) {
    ZRQ(data_blocksize)(instr, 1000);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_ERR_BAD_SETUP);
    float data[64];
    int16_t overload = 0;
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_NOT_READY);
    ZRQ(data_blocksize)(instr, 1024);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    ZRQ(data_type)(instr, 1);
    ZRQ(frequency_center)(instr, 0.7);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_ERR_BAD_SETUP);
    ZRQ(data_type)(instr, 0); // baseband ignores the centre
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);

    EXPECT_EQ(nextError(), ZRQ7010_ERR_BAD_SETUP);
    EXPECT_EQ(nextError(), ZRQ7010_ERR_BAD_SETUP);
    int32_t code = -1;
    char text[ZRQ7010_TEXT_SIZE];
    EXPECT_EQ(ZRQ(error_query)(instr, &code, text), ZRQ7010_SUCCESS);
    EXPECT_EQ(code, 0);
    EXPECT_STREQ(text, "No error");
}

TEST_F(SimDriverAcquisition, ExternalTriggerNeverFires) {
    ZRQ(trigger_type)(instr, 2);
    float data[64];
    int16_t overload = 0;
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_NOT_READY);
    ZRQ(trigger_type)(instr, 0); // the start itself is the software trigger
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_SUCCESS);
}

TEST_F(SimDriverAcquisition, LevelTriggerStartsTheBlockAtTheCrossing) {
    ZRQ(filter_bw)(instr, 5);
    ZRQ(trigger_type)(instr, 1);
    ZRQ(trigger_adclevel)(instr, 10); // 10/256 x 10.24 V = 0.4 V
    ZRQ(trigger_slope)(instr, 0);
    for (int i = 0; i < 3; ++i) {
        const std::vector<float> x = acquire(instr, 64);
        EXPECT_NEAR(x[0], 0.4, 0.01);
        EXPECT_GT(x[4], x[0]); // rising
    }
    ZRQ(trigger_slope)(instr, 1);
    const std::vector<float> x = acquire(instr, 64);
    EXPECT_NEAR(x[0], 0.4, 0.01);
    EXPECT_LT(x[4], x[0]); // falling
    // A level beyond the tone's swing never triggers.
    ZRQ(trigger_adclevel)(instr, 50); // 2 V
    float data[64];
    int16_t overload = 0;
    ZRQ(meas_start)(instr);
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_NOT_READY);
}

TEST_F(SimDriverAcquisition, MagnitudeTriggerNeedsEnoughSignalInBand) {
    ZRQ(trigger_type)(instr, 3);
    ZRQ(trigger_maglevel)(instr, -60); // -22.6 dBfs; the tone is at -20.2 dBfs
    float data[64];
    int16_t overload = 0;
    ZRQ(meas_start)(instr);
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_SUCCESS);
    ZRQ(trigger_maglevel)(instr, -50); // -18.8 dBfs: above the tone
    ZRQ(meas_start)(instr);
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_NOT_READY);
}

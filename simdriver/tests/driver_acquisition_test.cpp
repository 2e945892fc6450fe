// The read/start protocol and the content of the synthesised blocks, checked
// against hand-worked numbers: a 1 V peak 20 kHz tone, offset 0.00015 x full
// scale, sample rate clock / 2^(k + d), zoom mixing by the centre frequency.
#include "driver_test_util.h"

#include <numeric>

using namespace zrtest;

namespace {

using SimDriverAcquisition = Session;

} // namespace

TEST_F(SimDriverAcquisition, ReadNeedsAStartAndWritesExactlyTheBlock) {
    std::vector<float> data(300, -7.0f);
    int16_t overload = -1;
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_NOT_READY);
    EXPECT_EQ(data[0], -7.0f);
    EXPECT_EQ(overload, -1);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_SUCCESS);
    EXPECT_EQ(overload, 0);
    EXPECT_NE(data[0], -7.0f);
    EXPECT_EQ(data[256], -7.0f);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 256, &overload), ZRQ7010_NOT_READY);
    ZRQ(meas_start)(instr);
    EXPECT_EQ(ZRQ(read)(instr, data.data(), 40000, &overload), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(ZRQ(read)(instr, nullptr, 256, &overload), ZRQ7010_ERR_NULL_POINTER);
}

TEST_F(SimDriverAcquisition, BasebandToneHasItsAmplitudeFrequencyAndOffset) {
    // Bandwidth step 5: k = 4, fs = 20.48 MHz / 16 = 1.28 MHz; 4096 samples
    // span 3.2 ms = 64 periods of 20 kHz.
    ZRQ(filter_bw)(instr, 5);
    std::vector<float> x = acquire(4096);
    EXPECT_NEAR(binAmplitude(x, 64), 1.0, 0.002);
    EXPECT_LT(binAmplitude(x, 63), 0.01);
    EXPECT_NEAR(std::accumulate(x.begin(), x.end(), 0.0) / 4096, 0.00015 * 10.24, 0.0002);
    ZRQ(filter_decimate)(instr, 1); // fs = 640 kHz: 128 periods
    x = acquire(4096);
    EXPECT_NEAR(binAmplitude(x, 128), 1.0, 0.002);
}

TEST_F(SimDriverAcquisition, OverloadFlagFollowsTheRange) {
    const int16_t cases[][2] = {{5, 1}, {6, 0}}; // 640 mV and 1.28 V against the 1 V tone
    for (const auto& c : cases) {
        int16_t overload = -1;
        ZRQ(input_range)(instr, c[0]);
        acquire(64, &overload);
        EXPECT_EQ(overload, c[1]) << c[0];
    }
}

TEST_F(SimDriverAcquisition, ZoomDataAreTheInputMixedDownByTheCentre) {
    // Bandwidth step 10: fs = 40 kHz, passband +-7812.5 Hz. Centre 15 kHz: the
    // upper half of the tone at +5 kHz passes, the lower half and the offset do not.
    ZRQ(data_type)(instr, 1);
    ZRQ(filter_bw)(instr, 10);
    ZRQ(frequency_center)(instr, 15000.0 / 20480000.0);
    const std::vector<float> z = acquire(256, nullptr, true);
    double turn = 0;
    for (std::size_t n = 1; n < 256; ++n) {
        ASSERT_NEAR(std::hypot(z[2 * n], z[2 * n + 1]), 0.5, 0.01) << n;
        turn += std::arg(std::complex<double>(z[2 * n], z[2 * n + 1]) *
                         std::conj(std::complex<double>(z[2 * n - 2], z[2 * n - 1])));
    }
    EXPECT_NEAR(turn / 255, 2 * M_PI * 5000 / 40000, 0.01); // pi/4 per sample
}

TEST_F(SimDriverAcquisition, BadSetupAndUnfiredTriggerDeliverNoBlock) {
    ZRQ(data_blocksize)(instr, 1000);
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_ERR_BAD_SETUP);
    float data[64];
    int16_t overload = 0;
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_NOT_READY);
    int32_t code = -1;
    char text[ZRQ7010_TEXT_SIZE];
    EXPECT_EQ(ZRQ(error_query)(instr, &code, text), ZRQ7010_SUCCESS);
    EXPECT_EQ(code, ZRQ7010_ERR_BAD_SETUP);
    ZRQ(data_blocksize)(instr, 1024);
    ZRQ(trigger_type)(instr, 2); // external: never fires
    EXPECT_EQ(ZRQ(meas_start)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_NOT_READY);
    ZRQ(trigger_type)(instr, 0); // the start itself is the software trigger
    EXPECT_EQ(ZRQ(read)(instr, data, 64, &overload), ZRQ7010_SUCCESS);
}

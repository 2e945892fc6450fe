// Settings and registers stored and read back, refused settings, automatic
// ranging, the status word and the calibration data.
#include "driver_test_util.h"

using namespace zrtest;

namespace {

class SimDriverSettings : public Session {
protected:
    int16_t reg(int16_t r) {
        int16_t v = -1;
        EXPECT_EQ(ZRQ(diag_reg_get)(instr, r, &v), ZRQ7010_SUCCESS);
        return v;
    }
    int16_t range() {
        int16_t c = -1;
        EXPECT_EQ(ZRQ(input_range_get)(instr, &c), ZRQ7010_SUCCESS);
        return c;
    }
};

} // namespace

TEST_F(SimDriverSettings, RegistersAndTriggerDelayReadBackWhatWasAccepted) {
    EXPECT_EQ(reg(1), 0x0714); // power-on value
    EXPECT_EQ(ZRQ(diag_reg)(instr, 14, -32768), ZRQ7010_SUCCESS);
    EXPECT_EQ(reg(14), -32768);
    EXPECT_EQ(ZRQ(diag_reg)(instr, 32, 1), ZRQ7010_ERR_PARAMETER);
    int32_t v = 0;
    ZRQ(diag_poke)(instr, 7, -769);
    EXPECT_EQ(ZRQ(diag_peek)(instr, 7, &v), ZRQ7010_SUCCESS);
    EXPECT_EQ(v, -769);
    const int32_t delays[][2] = {{1234, 1234}, {-100000, -32768}, {2000000000, 16777215}};
    for (const auto& d : delays) {
        ZRQ(trigger_delay)(instr, d[0]);
        ZRQ(trigger_delay_get)(instr, &v);
        EXPECT_EQ(v, d[1]) << d[0];
    }
}

TEST_F(SimDriverSettings, OutOfRangeSettingIsRefusedAndQueued) {
    ZRQ(input_range)(instr, 4);
    EXPECT_EQ(ZRQ(input_range)(instr, 10), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(range(), 4);
    EXPECT_EQ(ZRQ(filter_bw)(instr, 24), ZRQ7010_ERR_PARAMETER);
    int32_t code = 0;
    char text[ZRQ7010_TEXT_SIZE];
    for (int i = 0; i < 2; ++i) {
        ZRQ(error_query)(instr, &code, text);
        EXPECT_EQ(code, ZRQ7010_ERR_PARAMETER);
        EXPECT_STREQ(text, "Parameter out of range");
    }
    ZRQ(error_query)(instr, &code, text);
    EXPECT_EQ(code, 0);
    EXPECT_STREQ(text, "No error");
}

TEST_F(SimDriverSettings, AutoRangeReportsBusyThenChoosesTheRange) {
    ZRQ(input_range)(instr, 0);
    ASSERT_EQ(ZRQ(input_range_auto)(instr, 0, 0), ZRQ7010_SUCCESS);
    int16_t s = 0;
    for (int i = 0; i < 3; ++i) {
        ZRQ(status_get)(instr, &s);
        EXPECT_GE(s, 0) << "poll " << i;
    }
    ZRQ(status_get)(instr, &s);
    EXPECT_LT(s, 0);
    EXPECT_EQ(range(), 6); // 1.28 V holds the 1 V tone with margin
}

TEST_F(SimDriverSettings, StatusWordShowsArmedAndDelivered) {
    int16_t s = 0;
    ZRQ(status_get)(instr, &s);
    EXPECT_EQ(static_cast<uint16_t>(s), ZRQ7010_STATUS_IDLE);
    ZRQ(meas_start)(instr);
    ZRQ(status_get)(instr, &s);
    EXPECT_EQ(static_cast<uint16_t>(s), ZRQ7010_STATUS_IDLE | ZRQ7010_STATUS_ARMED);
    ZRQ(input_range)(instr, 0);
    acquire(32);
    ZRQ(status_get)(instr, &s);
    EXPECT_EQ(static_cast<uint16_t>(s),
              ZRQ7010_STATUS_IDLE | ZRQ7010_STATUS_BLOCK_READY | ZRQ7010_STATUS_OVERLOAD);
}

TEST_F(SimDriverSettings, CalibrationSaveKeepsStampAndPowerOnSettingsForLaterSessions) {
    const int32_t stamp = ((((2001 * 16 + 3) * 32 + 3) * 32 + 9) * 64 + 5);
    ZRQ(input_range)(instr, 6);
    EXPECT_EQ(ZRQ(diag_cal)(instr, stamp), ZRQ7010_SUCCESS);
    ZRQ(input_range)(instr, 2);
    EXPECT_EQ(ZRQ(reset)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(range(), 6);
    int32_t other = 0;
    ASSERT_EQ(ZRQ(init)("VXI::192", 1, 1, &other), ZRQ7010_SUCCESS);
    int32_t got = 0;
    ZRQ(diag_cal_get)(other, &got);
    EXPECT_EQ(got, stamp);
    ZRQ(input_range)(other, 9);
    ZRQ(diag_cal)(other, 0); // leave factory-like power-on settings behind
    ZRQ(close)(other);
}

TEST_F(SimDriverSettings, CalibrationTableHasThirtyThreeValuesAndNoMore) {
    std::vector<double> t(40, NAN);
    ASSERT_EQ(ZRQ(diag_adccal_get)(instr, t.data()), ZRQ7010_SUCCESS);
    EXPECT_NEAR(t[0], 1.0, 0.01);
    EXPECT_NEAR(t[28], 1.0, 0.01);
    EXPECT_EQ(t[32], 0.0);
    for (std::size_t i = 33; i < 40; ++i) {
        EXPECT_TRUE(std::isnan(t[i])) << i;
    }
}

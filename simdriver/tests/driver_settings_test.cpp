// Read-backs of settings and registers, automatic ranging, calibration data.
#include "driver_test_util.h"

using namespace zrtest;

namespace {

class SimDriverSettings : public ::testing::Test {
protected:
    void SetUp() override { instr = openDefault(); }
    void TearDown() override { ZRQ(close)(instr); }
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
    int32_t instr = 0;
};

} // namespace

TEST_F(SimDriverSettings, DiagnosticRegistersReadBackWhatWasWritten) {
    EXPECT_EQ(reg(1), 0x0714);
    EXPECT_EQ(ZRQ(diag_reg)(instr, 1, static_cast<int16_t>(0xFF7F)), ZRQ7010_SUCCESS);
    EXPECT_EQ(reg(1), static_cast<int16_t>(0xFF7F));
    ZRQ(diag_reg)(instr, 14, -32768);
    EXPECT_EQ(reg(14), -32768);
    ZRQ(diag_reg)(instr, 4, 255);
    EXPECT_EQ(reg(4), 255);
    EXPECT_EQ(reg(1), static_cast<int16_t>(0xFF7F));
    EXPECT_EQ(ZRQ(diag_reg)(instr, 32, 1), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(ZRQ(diag_reg)(instr, -1, 1), ZRQ7010_ERR_PARAMETER);
}

TEST_F(SimDriverSettings, InputOffsetTrimsAreKeptPerRange) {
    ZRQ(input_range)(instr, 9);
    ZRQ(diag_reg)(instr, 3, 17);
    ZRQ(input_range)(instr, 2);
    ZRQ(diag_reg)(instr, 3, 200);
    EXPECT_EQ(reg(3), 200);
    ZRQ(input_range)(instr, 9);
    EXPECT_EQ(reg(3), 17);
}

TEST_F(SimDriverSettings, PokedRegistersPeekBack) {
    int32_t v = 0;
    ZRQ(diag_poke)(instr, 7, -769);
    ZRQ(diag_poke)(instr, 2, 1);
    EXPECT_EQ(ZRQ(diag_peek)(instr, 7, &v), ZRQ7010_SUCCESS);
    EXPECT_EQ(v, -769);
    EXPECT_EQ(ZRQ(diag_peek)(instr, 2, &v), ZRQ7010_SUCCESS);
    EXPECT_EQ(v, 1);
}

TEST_F(SimDriverSettings, TriggerDelayReadsBackTheAcceptedValue) {
    const int32_t cases[][2] = {{1234, 1234}, {-100000, -32768}, {2000000000, 16777215}};
    for (const auto& c : cases) {
        int32_t d = 0;
        ZRQ(trigger_delay)(instr, c[0]);
        ZRQ(trigger_delay_get)(instr, &d);
        EXPECT_EQ(d, c[1]) << c[0];
    }
}

TEST_F(SimDriverSettings, OutOfRangeSettingIsRefusedAndQueued) {
    ZRQ(input_range)(instr, 4);
    EXPECT_EQ(ZRQ(input_range)(instr, 10), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(range(), 4);
    EXPECT_EQ(ZRQ(filter_bw)(instr, 24), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(ZRQ(trigger_maglevel)(instr, 20), ZRQ7010_ERR_PARAMETER);
    EXPECT_EQ(ZRQ(trigger_maglevel)(instr, -349), ZRQ7010_SUCCESS);
    int32_t code = 0;
    char text[ZRQ7010_TEXT_SIZE];
    for (int i = 0; i < 3; ++i) {
        ZRQ(error_query)(instr, &code, text);
        EXPECT_EQ(code, ZRQ7010_ERR_PARAMETER);
        EXPECT_STREQ(text, "Parameter out of range");
    }
    ZRQ(error_query)(instr, &code, text);
    EXPECT_EQ(code, 0);
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
    ZRQ(status_get)(instr, &s);
    EXPECT_LT(s, 0);

    // Without the tone only offset and noise remain: the most sensitive range.
    ZRQ(input_signal)(instr, 0);
    ZRQ(input_range_auto)(instr, 0, 0);
    int polls = 0;
    do {
        ZRQ(status_get)(instr, &s);
        ++polls;
    } while (s >= 0 && polls < 100);
    EXPECT_EQ(polls, 4);
    EXPECT_EQ(range(), 0);
}

TEST_F(SimDriverSettings, StatusWordShowsArmedAndDelivered) {
    int16_t s = 0;
    ZRQ(status_get)(instr, &s);
    EXPECT_EQ(static_cast<uint16_t>(s), ZRQ7010_STATUS_IDLE);
    ZRQ(meas_start)(instr);
    ZRQ(status_get)(instr, &s);
    EXPECT_EQ(static_cast<uint16_t>(s), ZRQ7010_STATUS_IDLE | ZRQ7010_STATUS_ARMED);
    ZRQ(input_range)(instr, 0);
    acquire(instr, 32);
    ZRQ(status_get)(instr, &s);
    EXPECT_EQ(static_cast<uint16_t>(s),
              ZRQ7010_STATUS_IDLE | ZRQ7010_STATUS_BLOCK_READY | ZRQ7010_STATUS_OVERLOAD);
}

TEST_F(SimDriverSettings, CalibrationSaveStoresStampAndPowerOnSettings) {
    const int32_t stamp = ((((2001 * 16 + 3) * 32 + 3) * 32 + 9) * 64 + 5);
    ZRQ(input_range)(instr, 6);
    EXPECT_EQ(ZRQ(diag_cal)(instr, stamp), ZRQ7010_SUCCESS);
    ZRQ(input_range)(instr, 2);
    int32_t got = 0;
    EXPECT_EQ(ZRQ(diag_cal_get)(instr, &got), ZRQ7010_SUCCESS);
    EXPECT_EQ(got, stamp);
    EXPECT_EQ(ZRQ(reset)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(range(), 6);
    // The module keeps both for a later session.
    int32_t other = 0;
    ASSERT_EQ(ZRQ(init)("VXI::192", 1, 1, &other), ZRQ7010_SUCCESS);
    ZRQ(diag_cal_get)(other, &got);
    EXPECT_EQ(got, stamp);
    int16_t c = 0;
    ZRQ(input_range_get)(other, &c);
    EXPECT_EQ(c, 6);
    ZRQ(input_range)(other, 9);
    ZRQ(diag_cal)(other, 0); // leave factory-like power-on settings behind
    ZRQ(close)(other);
}

TEST_F(SimDriverSettings, CalibrationTableHasThirtyThreePlausibleValues) {
    std::vector<double> t(40, NAN);
    ASSERT_EQ(ZRQ(diag_adccal_get)(instr, t.data()), ZRQ7010_SUCCESS);
    for (int i = 0; i < 28; ++i) {
        EXPECT_NEAR(t[i], 1.0, 0.01) << i;
    }
    EXPECT_NEAR(t[28], 1.0, 0.01);
    for (int i = 29; i < 33; ++i) {
        EXPECT_EQ(t[i], 0.0) << i;
    }
    for (int i = 33; i < 40; ++i) {
        EXPECT_TRUE(std::isnan(t[i])) << i; // nothing beyond 33 values
    }
}

TEST_F(SimDriverSettings, InformationTexts) {
    int16_t mb = 0;
    ZRQ(data_memsize_get)(instr, &mb);
    EXPECT_EQ(mb, 64);
    char lib[ZRQ7010_TEXT_SIZE];
    char fw[ZRQ7010_TEXT_SIZE];
    ASSERT_EQ(ZRQ(revision_query)(instr, lib, fw), ZRQ7010_SUCCESS);
    EXPECT_STREQ(lib, "zrq7010_32 stand-in 1.0.0");
    EXPECT_STREQ(fw, "Virtual module, firmware 1.00, board rev. A");
    int16_t result = -1;
    char text[ZRQ7010_TEXT_SIZE];
    ASSERT_EQ(ZRQ(self_test)(instr, &result, text), ZRQ7010_SUCCESS);
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(text, "Self test passed");
}

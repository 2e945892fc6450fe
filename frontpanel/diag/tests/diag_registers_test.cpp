#include "diag/diag_registers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ControlRegister, EachListChangesOnlyItsOwnBits) {
    EXPECT_EQ(zr::controlWithTau(0xFFFF, 3), 0xFF7F); // bits 5..7 = "2^25"
    EXPECT_EQ(zr::controlWithTau(0x0000, 7), 0x00E0);
    EXPECT_EQ(zr::controlWithTau(0xFFFF, 9), 0xFFFF);      // limited to 7
    EXPECT_EQ(zr::controlWithCalMode(0xFFFF, 0), 0xF8FF);  // bits 8..10 = "Reset"
    EXPECT_EQ(zr::controlWithCalMode(0x0014, 7), 0x0714);  // "Full calibration"
    EXPECT_EQ(zr::controlWithCalMode(0x1234, -1), 0x1034); // limited to 0
    EXPECT_EQ(zr::controlWithDataOut(0x0000, 1), 0x1000);  // "ADC1 only" sends code 2
    EXPECT_EQ(zr::controlWithDataOut(0x0000, 2), 0x0800);  // "ADC2 only" sends code 1
    EXPECT_EQ(zr::controlWithDataOut(0xFFFF, 0), 0x07FF);  // and bits 13..15 are cleared
    EXPECT_EQ(zr::controlWithDataOut(0xFFFF, 1), 0x17FF);
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ((zr::controlWithTau(0xA5A5, t) >> 5) & 7, t);
}

TEST(ControlRegister, InitialValueHoldsFullCalibrationTau22NormalOutput) {
    const uint16_t r = zr::kControlRegisterInitial;
    EXPECT_EQ(zr::controlWithCalMode(r, 7), r);
    EXPECT_EQ(zr::controlWithTau(r, 0), r);
    EXPECT_EQ(zr::controlWithDataOut(r, 0), r);
    EXPECT_EQ(zr::asRegisterArg(zr::controlWithTau(zr::fromRegisterRead(-1), 3)), -129);
}

TEST(TrimDac, RegisterMapAndLimits) {
    for (int t = 0; t < 8; ++t) {
        const zr::TrimDac d = zr::trimDacFor(t);
        EXPECT_EQ(d.reg, t + 2);
        EXPECT_EQ(d.minValue, 0);
        EXPECT_EQ(d.maxValue, 255);
    }
    const zr::TrimDac adj = zr::trimDacFor(8); // "20MHz Adjust"
    EXPECT_EQ(adj.reg, 14);
    EXPECT_EQ(adj.minValue, -32768);
    EXPECT_EQ(adj.maxValue, 32767);
    EXPECT_EQ(zr::trimDacFor(12).reg, 14);
    EXPECT_EQ(zr::trimDacFor(-2).reg, 2);
}

TEST(TrimEntry, ValuesAreLimitedAndRoundedHalfToEven) {
    const struct {
        int trimindex;
        const char* typed;
        int16_t value;
        const char* shown;
    } cases[] = {{2, "300", 255, "255"},     {2, "-7", 0, "0"},
                 {2, "abc", 0, "0"},         {2, "2.5", 2, "2.5"},
                 {2, "3.5", 4, "3.5"},       {2, "254.5", 254, "254.5"},
                 {2, "2.6", 3, "2.6"},       {8, "40000", 32767, "32767"},
                 {8, "-12.5", -12, "-12.5"}, {8, "-1e999", -32768, "-32768"}};
    for (const auto& c : cases) {
        const zr::TrimWrite w = zr::trimEntry(c.trimindex, c.typed);
        EXPECT_EQ(w.reg, zr::trimDacFor(c.trimindex).reg) << c.typed;
        EXPECT_EQ(w.value, c.value) << c.typed;
        EXPECT_EQ(w.text, c.shown) << c.typed;
    }
}

} // namespace

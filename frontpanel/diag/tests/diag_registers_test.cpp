#include "diag/diag_registers.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlRegister, TauChangesOnlyBits5To7) {
    EXPECT_EQ(zr::controlWithTau(0xFFFF, 3), 0xFF7F); // "2^25"
    EXPECT_EQ(zr::controlWithTau(0x0000, 7), 0x00E0);
    EXPECT_EQ(zr::controlWithTau(0x0714, 0), 0x0714);
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ((zr::controlWithTau(0xA5A5, t) >> 5) & 7, t);
    EXPECT_EQ(zr::controlWithTau(0xFFFF, 9), 0xFFFF); // limited to 7
}

TEST(ControlRegister, CalModeChangesOnlyBits8To10) {
    EXPECT_EQ(zr::controlWithCalMode(0xFFFF, 0), 0xF8FF); // "Reset"
    EXPECT_EQ(zr::controlWithCalMode(0x0000, 7), 0x0700); // "Full calibration"
    EXPECT_EQ(zr::controlWithCalMode(0x0014, 7), 0x0714);
    EXPECT_EQ(zr::controlWithCalMode(0x1234, -1), 0x1034); // limited to 0
}

TEST(ControlRegister, DataOutWritesTheCodeAndClearsBits13To15) {
    EXPECT_EQ(zr::controlWithDataOut(0x0000, 1), 0x1000); // "ADC1 only" sends code 2
    EXPECT_EQ(zr::controlWithDataOut(0x0000, 2), 0x0800); // "ADC2 only" sends code 1
    EXPECT_EQ(zr::controlWithDataOut(0xFFFF, 0), 0x07FF);
    EXPECT_EQ(zr::controlWithDataOut(0xFFFF, 1), 0x17FF);
    EXPECT_EQ(zr::dataOutCode(0), 0);
    EXPECT_EQ(zr::dataOutCode(1), 2);
    EXPECT_EQ(zr::dataOutCode(2), 1);
}

TEST(ControlRegister, InitialValueHoldsFullCalibrationTau22NormalOutput) {
    const uint16_t r = zr::kControlRegisterInitial;
    EXPECT_EQ(r, 0x0714);
    EXPECT_EQ(zr::controlWithCalMode(r, 7), r);
    EXPECT_EQ(zr::controlWithTau(r, 0), r);
    EXPECT_EQ(zr::controlWithDataOut(r, 0), r);
}

TEST(ControlRegister, SignedDriverValuesRoundTrip) {
    EXPECT_EQ(zr::fromRegisterRead(-1), 0xFFFF);
    EXPECT_EQ(zr::asRegisterArg(0xFF7F), static_cast<int16_t>(-129));
    EXPECT_EQ(zr::asRegisterArg(zr::controlWithTau(zr::fromRegisterRead(-1), 3)), -129);
}

TEST(TrimDac, RegisterMapAndLimits) {
    for (int t = 0; t < 8; ++t) {
        const zr::TrimDac d = zr::trimDacFor(t);
        EXPECT_EQ(d.reg, t + 2);
        EXPECT_EQ(d.minValue, 0);
        EXPECT_EQ(d.maxValue, 255);
    }
    const zr::TrimDac adj = zr::trimDacFor(8);
    EXPECT_EQ(adj.reg, 14);
    EXPECT_EQ(adj.minValue, -32768);
    EXPECT_EQ(adj.maxValue, 32767);
    EXPECT_EQ(zr::kTrimDacEntries[8], "20MHz Adjust");
    EXPECT_EQ(zr::trimDacFor(12).reg, 14);
    EXPECT_EQ(zr::trimDacFor(-2).reg, 2);
}

TEST(TrimEntry, ValuesAreLimitedAndRoundedHalfToEven) {
    const zr::TrimWrite a = zr::trimEntry(2, "300");
    EXPECT_EQ(a.reg, 4);
    EXPECT_EQ(a.value, 255);
    EXPECT_EQ(a.text, "255");
    const zr::TrimWrite b = zr::trimEntry(2, "-7");
    EXPECT_EQ(b.reg, 4);
    EXPECT_EQ(b.value, 0);
    EXPECT_EQ(b.text, "0");
    const zr::TrimWrite c = zr::trimEntry(8, "40000");
    EXPECT_EQ(c.reg, 14);
    EXPECT_EQ(c.value, 32767);
    EXPECT_EQ(c.text, "32767");
    EXPECT_EQ(zr::trimEntry(8, "-1e999").value, -32768);
    EXPECT_EQ(zr::trimEntry(0, "2.5").value, 2);
    EXPECT_EQ(zr::trimEntry(0, "3.5").value, 4);
    EXPECT_EQ(zr::trimEntry(0, "abc").value, 0);
    EXPECT_EQ(zr::trimEntry(8, "-12.5").value, -12);
}

TEST(TrimReadout, SignedDecimal) {
    EXPECT_EQ(zr::trimReadoutText(128), "128");
    EXPECT_EQ(zr::trimReadoutText(-300), "-300");
}

} // namespace

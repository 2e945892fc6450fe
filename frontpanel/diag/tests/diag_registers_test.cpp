#include "diag/diag_registers.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlRegister, EachListChangesOnlyItsOwnBits) {
    EXPECT_EQ(zr::controlWithTau(0xFFFF, 3), 0xFF7F);      // bits 5..7 = "2^25"
    EXPECT_EQ(zr::controlWithTau(0xFFFF, 9), 0xFFFF);      // limited to 7
    EXPECT_EQ(zr::controlWithCalMode(0xFFFF, 0), 0xF8FF);  // bits 8..10 = "Reset"
    EXPECT_EQ(zr::controlWithCalMode(0x1234, -1), 0x1034); // limited to 0
    EXPECT_EQ(zr::controlWithDataOut(0x0000, 1), 0x1000);  // "ADC1 only" sends code 2
    EXPECT_EQ(zr::controlWithDataOut(0xFFFF, 2),
              0x0FFF);                              // "ADC2 only" sends code 1, 13..15 cleared
    const uint16_t r = zr::kControlRegisterInitial; // full calibration, 2^22, normal output
    EXPECT_EQ(zr::controlWithCalMode(r, 7), r);
    EXPECT_EQ(zr::controlWithTau(r, 0), r);
    EXPECT_EQ(zr::controlWithDataOut(r, 0), r);
    EXPECT_EQ(zr::asRegisterArg(zr::controlWithTau(zr::fromRegisterRead(-1), 3)), -129);
}

TEST(TrimEntry, ValuesAreLimitedAndRoundedHalfToEven) {
    const struct {
        int trimindex;
        const char* typed;
        int reg;
        int16_t value;
        const char* shown;
    } cases[] = {{2, "300", 4, 255, "255"},         {2, "abc", 4, 0, "0"},
                 {2, "2.5", 4, 2, "2.5"},           {2, "3.5", 4, 4, "3.5"},
                 {8, "-12.5", 14, -12, "-12.5"},    {8, "-1e999", 14, -32768, "-32768"},
                 {12, "40000", 14, 32767, "32767"}, {-2, "-7", 2, 0, "0"}};
    for (const auto& c : cases) {
        const zr::TrimWrite w = zr::trimEntry(c.trimindex, c.typed);
        EXPECT_EQ(w.reg, c.reg) << c.typed;
        EXPECT_EQ(w.value, c.value) << c.typed;
        EXPECT_EQ(w.text, c.shown) << c.typed;
    }
}

} // namespace

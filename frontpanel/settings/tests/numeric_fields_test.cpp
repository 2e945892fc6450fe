#include "common/number_text.h"
#include "settings/numeric_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cmath>
#include <random>
#include <string>

namespace {

using zr::commitField;
using zr::FieldCall;
using zr::FieldContext;
using zr::FieldResult;

// What a field shows after the commit and, for the fields that make a driver call, the argument.
TEST(Fields, LimitsRoundingAndDriverArguments) {
    struct Case {
        int index;
        const char* typed;
        const char* shown;
        FieldCall call;
        int32_t callInt;
    };
    const Case cases[] = {
        // "# Averages": letters read as 0 and are raised to 1; halves go up; 32 bits at most.
        {3, "abc", "1", FieldCall::None, 0},
        {3, "1e20", "2147483647", FieldCall::None, 0},
        // "Level (% range)": -256 .. 255, sent as the nearest integer (half to even).
        {6, "300", "255", FieldCall::TriggerAdcLevel, 255},
        {6, "-2.5", "-2.5", FieldCall::TriggerAdcLevel, -2},
        // "Level (dBfs)": quantised to the code, codes -349 .. 19.
        {7, "-60", "-59.83", FieldCall::TriggerMagLevel, -159},
        {7, "-1000", "-131.32", FieldCall::TriggerMagLevel, -349},
        {7, "1e999", "7.15", FieldCall::TriggerMagLevel, 19},
        // "Delay (samples)": rounded; beyond 32 bits sent as the nearest 32-bit value.
        {8, "12.5", "13", FieldCall::TriggerDelay, 13},
        {8, "-1e12", "-1000000000000", FieldCall::TriggerDelay, INT32_MIN},
        // Grids: Y 1 .. 50, X only from 1 on.
        {11, "77", "50", FieldCall::None, 0},
        {11, "0", "1", FieldCall::None, 0},
        {14, "-3", "1", FieldCall::None, 0},
        // Per-division fields: zero is replaced so that scaling never divides by zero.
        {13, "-0", "1E-10", FieldCall::None, 0},
        {10, "abc", "1E-20", FieldCall::None, 0},
        {17, "-5", "5", FieldCall::None, 0},             // "Step size" is made positive
        {1, "30000000", "20480000", FieldCall::None, 0}, // "Ext clock freq": 1 .. 20480000
        {1, "-5", "1", FieldCall::None, 0},
        {18, "12", "12", FieldCall::None, 0}, // no such field: the number as typed
    };
    FieldContext ctx;
    ctx.modeindex = 1;
    for (const Case& c : cases) {
        const FieldResult r = commitField(c.index, c.typed, ctx);
        EXPECT_EQ(r.text, c.shown) << c.index << " '" << c.typed << "'";
        EXPECT_EQ(r.value, zr::leadingNumber(c.shown)) << c.index << " '" << c.typed << "'";
        EXPECT_EQ(r.call, c.call) << c.index << " '" << c.typed << "'";
        if (c.call != FieldCall::None && c.call != FieldCall::FrequencyCenter) {
            EXPECT_EQ(r.callInt, c.callInt) << c.index << " '" << c.typed << "'";
        }
    }
    EXPECT_FALSE(commitField(-1, "1", ctx).relabel);
}

TEST(Fields, ShownMagnitudeLevelCommitsToTheSameCode) {
    for (int code = zr::kMagCodeMin; code <= zr::kMagCodeMax; ++code) {
        const std::string shown = zr::formatNumber(zr::magLevelForCode(code));
        const FieldResult r = commitField(7, shown, FieldContext{});
        ASSERT_EQ(r.callInt, code) << shown;
        ASSERT_EQ(r.text, shown);
    }
}

// What the window cannot show: the centre without a usable clock, and which fields run X-Auto.
TEST(Fields, CentreWithoutAClockAndXAuto) {
    FieldContext ctx;
    ctx.clockfreq = 0.0;
    EXPECT_EQ(commitField(2, "1000", ctx).callDouble, 0.0);
    for (const bool xauto : {false, true}) {
        ctx.xautoflag = xauto;
        for (int index = 0; index < zr::kFieldCount; ++index) {
            const bool runs = xauto && (index == 2 || index == 4 || index == 5);
            EXPECT_EQ(commitField(index, "1", ctx).runXauto, runs) << index;
        }
    }
}

// Whatever the operator types, every field ends with a finite value and a text that reads back
// as that value, and the trigger levels' arguments stay in range (the other limits are in the
// table above).
TEST(Fields, RandomTextsGiveConsistentResults) {
    std::mt19937 gen(7010);
    const std::string alphabet = "0123456789.+-eE xk\t";
    std::uniform_int_distribution<int> len(0, 40);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        for (int i = len(gen); i > 0; --i)
            text += alphabet[pick(gen)];
        for (int index = 0; index < zr::kFieldCount; ++index) {
            FieldContext ctx;
            ctx.modeindex = n % 3;
            ctx.clockindex = n % 4;
            const FieldResult r = commitField(index, text, ctx);
            SCOPED_TRACE(testing::Message() << index << " '" << text << "'");
            ASSERT_TRUE(std::isfinite(r.value));
            ASSERT_TRUE(std::isfinite(r.stored));
            ASSERT_EQ(zr::leadingNumber(r.text), r.value);
            ASSERT_TRUE(index != 6 || (r.callInt >= -256 && r.callInt <= 255));
            ASSERT_TRUE(index != 7 ||
                        (r.callInt >= zr::kMagCodeMin && r.callInt <= zr::kMagCodeMax));
        }
    }
}

} // namespace

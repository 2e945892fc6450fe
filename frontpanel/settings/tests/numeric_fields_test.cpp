#include "settings/numeric_fields.h"
#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>

namespace {

using zr::commitField;
using zr::FieldCall;
using zr::FieldContext;
using zr::FieldResult;
using zr::FieldTarget;

FieldContext spectrum() {
    FieldContext ctx;
    ctx.modeindex = 1;
    return ctx;
}

TEST(FieldAverages, LettersReadAsZeroAndAreRaisedToOne) {
    const FieldResult r = commitField(3, "abc", spectrum());
    EXPECT_EQ(r.target, FieldTarget::NumAvg);
    EXPECT_EQ(r.value, 1.0);
    EXPECT_EQ(r.intValue, 1);
    EXPECT_EQ(r.text, "1");
    EXPECT_EQ(r.call, FieldCall::None);
    EXPECT_TRUE(r.relabel);
}

TEST(FieldAverages, RoundsHalvesUpAndLimitsTo32Bits) {
    EXPECT_EQ(commitField(3, "2.5", spectrum()).text, "3");
    EXPECT_EQ(commitField(3, "10", spectrum()).intValue, 10);
    const FieldResult big = commitField(3, "1e20", spectrum());
    EXPECT_EQ(big.intValue, INT32_MAX);
    EXPECT_EQ(big.text, "2147483647");
}

TEST(FieldMagnitudeLevel, MinusSixtyIsQuantisedToCodeMinus159) {
    const FieldResult r = commitField(7, "-60", spectrum());
    EXPECT_EQ(r.target, FieldTarget::MagCode);
    EXPECT_EQ(r.call, FieldCall::TriggerMagLevel);
    EXPECT_EQ(r.callInt, -159);
    EXPECT_EQ(r.intValue, -159);
    EXPECT_EQ(r.value, -59.83);
    EXPECT_EQ(r.text, "-59.83");
}

TEST(FieldMagnitudeLevel, CodeIsLimitedToMinus349And19) {
    const FieldResult hi = commitField(7, "20", spectrum());
    EXPECT_EQ(hi.callInt, 19);
    EXPECT_EQ(hi.text, "7.15");
    const FieldResult lo = commitField(7, "-1000", spectrum());
    EXPECT_EQ(lo.callInt, -349);
    EXPECT_EQ(lo.text, "-131.32");
    const FieldResult huge = commitField(7, "1e999", spectrum());
    EXPECT_EQ(huge.callInt, 19);
    EXPECT_EQ(commitField(7, "0", spectrum()).text, "0");
}

TEST(FieldMagnitudeLevel, ShownLevelCommitsToTheSameCode) {
    for (int code = zr::kMagCodeMin; code <= zr::kMagCodeMax; ++code) {
        const std::string shown = zr::formatNumber(zr::magLevelForCode(code));
        const FieldResult r = commitField(7, shown, spectrum());
        ASSERT_EQ(r.callInt, code) << shown;
        ASSERT_EQ(r.text, shown);
    }
}

TEST(FieldAdcLevel, ClampedToMinus256To255AndSentAsNearestInteger) {
    const FieldResult r = commitField(6, "300", spectrum());
    EXPECT_EQ(r.call, FieldCall::TriggerAdcLevel);
    EXPECT_EQ(r.callInt, 255);
    EXPECT_EQ(r.text, "255");
    EXPECT_EQ(commitField(6, "-999", spectrum()).callInt, -256);
    EXPECT_EQ(commitField(6, "2.5", spectrum()).callInt, 2);
    EXPECT_EQ(commitField(6, "3.5", spectrum()).callInt, 4);
    EXPECT_EQ(commitField(6, "-2.5", spectrum()).callInt, -2);
}

TEST(FieldDelay, RoundedSentAndReplacedByTheReadBack) {
    FieldResult r = commitField(8, "12.5", spectrum());
    EXPECT_EQ(r.call, FieldCall::TriggerDelay);
    EXPECT_EQ(r.callInt, 13);
    zr::finishDelayField(r, 8);
    EXPECT_EQ(r.intValue, 8);
    EXPECT_EQ(r.value, 8.0);
    EXPECT_EQ(r.text, "8");
    zr::SettingsState st;
    EXPECT_TRUE(zr::storeInSettings(r, st));
    EXPECT_EQ(st.trigdelay, 8);
}

TEST(FieldDelay, OutOfRangeDelaysAreSentAsTheNearest32BitValue) {
    EXPECT_EQ(commitField(8, "1e12", spectrum()).callInt, INT32_MAX);
    EXPECT_EQ(commitField(8, "-1e12", spectrum()).callInt, INT32_MIN);
    EXPECT_EQ(commitField(8, "1e999", spectrum()).callInt, INT32_MAX);
    EXPECT_EQ(commitField(8, "-2.5", spectrum()).callInt, -2);
}

TEST(FieldGrids, YGridsLimitedTo1To50XGridsOnlyBelow) {
    EXPECT_EQ(commitField(11, "0.4", spectrum()).text, "1");
    EXPECT_EQ(commitField(11, "77", spectrum()).text, "50");
    EXPECT_EQ(commitField(11, "7.5", spectrum()).value, 8.0);
    EXPECT_EQ(commitField(14, "77", spectrum()).text, "77");
    EXPECT_EQ(commitField(14, "0.4", spectrum()).text, "1");
    EXPECT_EQ(commitField(14, "-3", spectrum()).value, 1.0);
    EXPECT_EQ(commitField(11, "77", spectrum()).target, FieldTarget::YGrids);
    EXPECT_EQ(commitField(14, "77", spectrum()).target, FieldTarget::XGrids);
}

TEST(FieldPerDivision, ZeroIsReplacedSoScalingNeverDividesByZero) {
    const FieldResult x = commitField(13, "0", spectrum());
    EXPECT_EQ(x.value, 1e-10);
    EXPECT_EQ(x.text, "1E-10");
    EXPECT_EQ(zr::leadingNumber(x.text), 1e-10);
    const FieldResult y = commitField(10, "abc", spectrum());
    EXPECT_EQ(y.value, 1e-20);
    EXPECT_EQ(commitField(13, "-0", spectrum()).value, 1e-10);
    EXPECT_EQ(commitField(13, "10e-6", spectrum()).text, "1E-05");
    EXPECT_EQ(commitField(13, "1024000", spectrum()).text, "1024000");
    EXPECT_EQ(commitField(10, "-5", spectrum()).value, -5.0);
}

TEST(FieldStepSize, NegativeStepIsMadePositive) {
    const FieldResult r = commitField(17, "-5", spectrum());
    EXPECT_EQ(r.target, FieldTarget::MarkStep);
    EXPECT_EQ(r.value, 5.0);
    EXPECT_EQ(r.text, "5");
}

TEST(FieldExtClock, LimitedRebuildsListsAndReappliesCentreEvenWhenNotExternal) {
    FieldContext ctx = spectrum();
    ctx.clockindex = 0;
    const FieldResult r = commitField(1, "30000000", ctx);
    EXPECT_EQ(r.text, "20480000");
    EXPECT_EQ(r.target, FieldTarget::ClockFreq);
    EXPECT_FALSE(r.store);
    EXPECT_TRUE(r.rebuildLists);
    EXPECT_TRUE(r.reapplyCenter);
    zr::SettingsState st;
    st.clockfreq = 20000000.0;
    zr::storeInSettings(r, st);
    EXPECT_EQ(st.clockfreq, 20000000.0);

    ctx.clockindex = 2;
    const FieldResult ext = commitField(1, "10000000", ctx);
    EXPECT_TRUE(ext.store);
    EXPECT_TRUE(ext.rebuildLists);
    EXPECT_TRUE(ext.reapplyCenter);
    zr::storeInSettings(ext, st);
    EXPECT_EQ(st.clockfreq, 10000000.0);
    EXPECT_EQ(commitField(1, "0", ctx).value, 1.0);
    EXPECT_EQ(commitField(1, "-5e6", ctx).text, "1");
}

TEST(FieldCentre, SentAsFractionOfTheClockWithXautoOnlyWhenFlagged) {
    FieldContext ctx = spectrum();
    ctx.clockfreq = 10000000.0;
    const FieldResult r = commitField(2, "2500000", ctx);
    EXPECT_EQ(r.call, FieldCall::FrequencyCenter);
    EXPECT_EQ(r.callDouble, 0.25);
    EXPECT_EQ(r.stored, 0.25);
    EXPECT_EQ(r.text, "2500000");
    EXPECT_FALSE(r.runXauto);
    ctx.xautoflag = true;
    EXPECT_TRUE(commitField(2, "1", ctx).runXauto);
    zr::SettingsState st;
    zr::storeInSettings(r, st);
    EXPECT_EQ(st.centerfrac, 0.25);
    ctx.clockfreq = 0.0;
    EXPECT_EQ(commitField(2, "1000", ctx).callDouble, 0.0);
}

TEST(FieldHistogramLimits, StoredInMeasurementStateWithXauto) {
    FieldContext ctx = spectrum();
    ctx.xautoflag = true;
    const FieldResult lo = commitField(4, "-1", ctx);
    EXPECT_EQ(lo.target, FieldTarget::HistMin);
    EXPECT_TRUE(lo.runXauto);
    const FieldResult hi = commitField(5, "1", ctx);
    EXPECT_EQ(hi.target, FieldTarget::HistMax);
    zr::SettingsState st;
    EXPECT_FALSE(zr::storeInSettings(hi, st));
    ctx.xautoflag = false;
    EXPECT_FALSE(commitField(5, "1", ctx).runXauto);
}

TEST(FieldPerMode, DisplayAndMarkerFieldsGoToTheCurrentModeSlot) {
    const FieldTarget expected[] = {FieldTarget::MarkX,   FieldTarget::YRef, FieldTarget::YPerDiv,
                                    FieldTarget::YGrids,  FieldTarget::XRef, FieldTarget::XPerDiv,
                                    FieldTarget::XGrids,  FieldTarget::RelX, FieldTarget::RelY,
                                    FieldTarget::MarkStep};
    const int indices[] = {0, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    for (int mode = 0; mode < 3; ++mode) {
        FieldContext ctx;
        ctx.modeindex = mode;
        for (int k = 0; k < 10; ++k) {
            const FieldResult r = commitField(indices[k], "5", ctx);
            EXPECT_EQ(r.target, expected[k]);
            EXPECT_EQ(r.slot, mode);
            EXPECT_EQ(r.call, FieldCall::None);
            EXPECT_FALSE(r.runXauto);
        }
    }
    // Only per-mode fields carry a slot.
    EXPECT_EQ(commitField(7, "5", spectrum()).slot, -1);
    EXPECT_EQ(commitField(1, "5", spectrum()).slot, -1);
}

TEST(FieldUnknownIndex, ChangesNothing) {
    const FieldResult r = commitField(18, "12", spectrum());
    EXPECT_EQ(r.target, FieldTarget::None);
    EXPECT_EQ(r.call, FieldCall::None);
    EXPECT_EQ(r.text, "12");
    EXPECT_FALSE(commitField(-1, "1", spectrum()).relabel);
}

// The preset commits every field in ascending order in Spectrum mode with
// the 20.48 MHz clock; fields 9..17 hold the Spectrum slots by then.
TEST(FieldPreset, CommittingThePresetTextsGivesThePresetState) {
    const char* texts[18] = {"0", "20480000", "0",  "10", "-1",      "1",  "0", "-60", "0",
                             "0", "10",       "10", "0",  "1024000", "10", "0", "0",   "1000000"};
    FieldContext ctx = spectrum();
    zr::SettingsState st;
    std::string shown[18];
    FieldCall calls[18];
    for (int i = 0; i < 18; ++i) {
        FieldResult r = commitField(i, texts[i], ctx);
        if (r.call == FieldCall::TriggerDelay)
            zr::finishDelayField(r, r.callInt);
        zr::storeInSettings(r, st);
        shown[i] = r.text;
        calls[i] = r.call;
    }
    EXPECT_EQ(shown[13], "1024000");
    EXPECT_EQ(shown[17], "1000000");
    EXPECT_EQ(shown[7], "-59.83");
    EXPECT_EQ(st.magcode, -159);
    EXPECT_EQ(st.clockfreq, 20480000.0);
    EXPECT_EQ(st.centerfrac, 0.0);
    EXPECT_EQ(st.trigdelay, 0);
    EXPECT_EQ(calls[2], FieldCall::FrequencyCenter);
    EXPECT_EQ(calls[6], FieldCall::TriggerAdcLevel);
    EXPECT_EQ(calls[7], FieldCall::TriggerMagLevel);
    EXPECT_EQ(calls[8], FieldCall::TriggerDelay);
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(shown[i], texts[i] == std::string("-60") ? "-59.83" : texts[i]) << i;
}

} // namespace

namespace {

// Whatever the operator types, every field ends with a finite value, a text
// that reads back as that value and integer arguments within their types.
TEST(FieldRobustness, RandomTextsGiveConsistentResults) {
    std::mt19937 gen(7010);
    const std::string alphabet = "0123456789.+-eE xk\t";
    std::uniform_int_distribution<int> len(0, 40);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        const int l = len(gen);
        for (int i = 0; i < l; ++i)
            text += alphabet[pick(gen)];
        for (int index = 0; index < zr::kFieldCount; ++index) {
            FieldContext ctx;
            ctx.modeindex = n % 3;
            ctx.clockindex = n % 4;
            const FieldResult r = commitField(index, text, ctx);
            ASSERT_TRUE(std::isfinite(r.value)) << index << " '" << text << "'";
            ASSERT_TRUE(std::isfinite(r.stored)) << index << " '" << text << "'";
            ASSERT_EQ(zr::leadingNumber(r.text), r.value) << index << " '" << text << "'";
            if (index == 6) {
                ASSERT_TRUE(r.callInt >= -256 && r.callInt <= 255);
            }
            if (index == 7) {
                ASSERT_TRUE(r.callInt >= zr::kMagCodeMin && r.callInt <= zr::kMagCodeMax);
            }
            if (index == 1) {
                ASSERT_TRUE(r.value >= 1.0 && r.value <= zr::kMaxClockFreq);
            }
            if (index == 10 || index == 13) {
                ASSERT_NE(r.value, 0.0);
            }
            if (index == 3 || index == 11 || index == 14) {
                ASSERT_GE(r.intValue, 1);
            }
        }
    }
}

} // namespace

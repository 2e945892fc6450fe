#include "settings/numeric_fields.h"

#include "common/number_text.h"

#include <cmath>

namespace zr {

namespace {

int slotOf(const FieldContext& ctx) {
    // The per-mode arrays have three slots; an out-of-range mode falls back to
    // the nearest valid slot rather than indexing outside the array.
    if (ctx.modeindex < 0)
        return 0;
    if (ctx.modeindex > 2)
        return 2;
    return ctx.modeindex;
}

void perMode(FieldResult& r, FieldTarget target, const FieldContext& ctx) {
    r.target = target;
    r.slot = slotOf(ctx);
}

} // namespace

double centerFraction(double hertz, double clockfreq) {
    if (!(clockfreq > 0.0) || !std::isfinite(clockfreq))
        return 0.0;
    return hertz / clockfreq;
}

int16_t magCodeForLevel(double dbfs) {
    double code = roundHalfUp(dbfs / kMagStepDb);
    if (code > kMagCodeMax)
        code = kMagCodeMax;
    if (code < kMagCodeMin)
        code = kMagCodeMin;
    return static_cast<int16_t>(code);
}

double magLevelForCode(int code) {
    return roundHalfUp(100.0 * code * kMagStepDb) / 100.0;
}

double holdToFieldLimits(int index, double v) {
    if (index < 0 || index >= kFieldCount)
        return v;
    const FieldLimits& l = kFieldLimits[static_cast<std::size_t>(index)];
    if (l.whole)
        v = roundHalfUp(v);
    if (v < l.min)
        v = l.min;
    if (v > l.max)
        v = l.max;
    if (v == 0.0 && l.zeroAs != 0.0)
        v = l.zeroAs;
    if (l.magnitude && v < 0.0)
        v = -v;
    return v;
}

FieldResult commitField(int index, std::string_view text, const FieldContext& ctx) {
    FieldResult r;
    r.index = index;
    double v = holdToFieldLimits(index, leadingNumber(text));

    switch (index) {
    case 0:
        perMode(r, FieldTarget::MarkX, ctx);
        break;
    case 1:
        r.target = FieldTarget::ClockFreq;
        r.store = ctx.clockindex == 2;
        // The lists and the centre frequency follow the field even when the
        // clock source is not External.
        r.rebuildLists = true;
        r.reapplyCenter = true;
        break;
    case 2:
        r.target = FieldTarget::CenterFrac;
        r.call = FieldCall::FrequencyCenter;
        r.runXauto = ctx.xautoflag;
        break;
    case 3:
        r.target = FieldTarget::NumAvg;
        break;
    case 4:
        r.target = FieldTarget::HistMin;
        r.runXauto = ctx.xautoflag;
        break;
    case 5:
        r.target = FieldTarget::HistMax;
        r.runXauto = ctx.xautoflag;
        break;
    case 6:
        r.target = FieldTarget::AdcLevel;
        r.call = FieldCall::TriggerAdcLevel;
        break;
    case 7: {
        const int16_t code = magCodeForLevel(v);
        v = magLevelForCode(code);
        r.target = FieldTarget::MagCode;
        r.call = FieldCall::TriggerMagLevel;
        r.intValue = code;
        r.callInt = code;
        break;
    }
    case 8:
        r.target = FieldTarget::TrigDelay;
        r.call = FieldCall::TriggerDelay;
        break;
    case 9:
        perMode(r, FieldTarget::YRef, ctx);
        break;
    case 10:
        perMode(r, FieldTarget::YPerDiv, ctx);
        break;
    case 11:
        perMode(r, FieldTarget::YGrids, ctx);
        break;
    case 12:
        perMode(r, FieldTarget::XRef, ctx);
        break;
    case 13:
        perMode(r, FieldTarget::XPerDiv, ctx);
        break;
    case 14:
        perMode(r, FieldTarget::XGrids, ctx);
        break;
    case 15:
        perMode(r, FieldTarget::RelX, ctx);
        break;
    case 16:
        perMode(r, FieldTarget::RelY, ctx);
        break;
    case 17:
        perMode(r, FieldTarget::MarkStep, ctx);
        break;
    default:
        r.relabel = false;
        break;
    }

    if (v == 0.0)
        v = 0.0; // a typed "-0" is stored and shown as 0

    r.value = v;
    r.stored = v;
    switch (r.target) {
    case FieldTarget::CenterFrac:
        r.stored = centerFraction(v, ctx.clockfreq);
        r.callDouble = r.stored;
        break;
    case FieldTarget::AdcLevel:
        r.intValue = toInt16Nearest(v);
        r.callInt = r.intValue;
        break;
    case FieldTarget::TrigDelay:
        // Delays beyond the 32-bit range are sent as the nearest 32-bit value.
        r.intValue = toInt32Nearest(v);
        r.callInt = r.intValue;
        break;
    case FieldTarget::NumAvg:
    case FieldTarget::YGrids:
    case FieldTarget::XGrids:
        r.intValue = toInt32Nearest(v);
        break;
    default:
        break;
    }
    r.text = formatNumber(v);
    return r;
}

void finishDelayField(FieldResult& result, int32_t readBack) {
    result.value = readBack;
    result.stored = readBack;
    result.intValue = readBack;
    result.text = formatNumber(readBack);
}

bool storeInSettings(const FieldResult& result, SettingsState& st) {
    switch (result.target) {
    case FieldTarget::ClockFreq:
        if (result.store)
            st.clockfreq = result.stored;
        return true;
    case FieldTarget::CenterFrac:
        st.centerfrac = result.stored;
        return true;
    case FieldTarget::AdcLevel:
        st.adclevel = static_cast<int16_t>(result.intValue);
        return true;
    case FieldTarget::MagCode:
        st.magcode = static_cast<int16_t>(result.intValue);
        return true;
    case FieldTarget::TrigDelay:
        st.trigdelay = result.intValue;
        return true;
    default:
        return false;
    }
}

} // namespace zr

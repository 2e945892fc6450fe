// The leading-number parse, the number texts and every field rule: nothing
// throws, every value is finite, and the text written back into a field
// reads back (through the same parse) as the value in force.
#include "fuzz_input.h"
#include "common/number_text.h"
#include "settings/numeric_fields.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// Same value, with the two zeros counted equal (the parse has no "-0").
bool sameValue(double a, double b) {
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zrfuzz::Input in(data, size);
    const int index = static_cast<int>(in.range(-1, 18));
    zr::FieldContext ctx;
    ctx.modeindex = static_cast<int>(in.range(0, 2));
    ctx.clockindex = static_cast<int>(in.range(0, 5));
    // A clock the program can have: what field 1 accepts (1 Hz .. 20.48 MHz).
    ctx.clockfreq = static_cast<double>(in.range(1, 20480000)) * (in.flag() ? 1.0 : 0.001);
    ctx.clockfreq = std::max(ctx.clockfreq, 1.0);
    ctx.xautoflag = in.flag();
    const double direct = in.take<double>();
    const std::string text = in.text(400);

    // The parse never gives NaN or infinity, and its shortest text reads back exactly.
    const double parsed = zr::leadingNumber(text);
    ZRFUZZ_CHECK(std::isfinite(parsed));
    ZRFUZZ_CHECK(sameValue(zr::leadingNumber(zr::formatNumber(parsed)), parsed));
    ZRFUZZ_CHECK(sameValue(zr::leadingNumber(zr::formatNumberLeadingBlank(parsed)), parsed));
    // Any double, also NaN and infinities, is written as a text the parse reads.
    const double back = zr::leadingNumber(zr::formatNumber(direct));
    ZRFUZZ_CHECK(std::isfinite(back));
    if (std::isfinite(direct)) {
        ZRFUZZ_CHECK(sameValue(back, direct));
    }
    (void)zr::formatGrouped2(direct);
    (void)zr::formatFixedAbs(direct, static_cast<int>(in.range(0, 20)));
    (void)zr::toInt16Nearest(direct);
    (void)zr::toInt32Nearest(direct);

    zr::FieldResult r = zr::commitField(index, text, ctx);
    if (r.call == zr::FieldCall::TriggerDelay) {
        // The stand-in's range of accepted delays.
        zr::finishDelayField(r, std::clamp<std::int32_t>(r.callInt, -32768, 16777215));
    }
    ZRFUZZ_CHECK(std::isfinite(r.value));
    ZRFUZZ_CHECK(std::isfinite(r.stored));
    ZRFUZZ_CHECK(std::isfinite(r.callDouble));
    ZRFUZZ_CHECK(sameValue(zr::leadingNumber(r.text), r.value));
    // Committing the written-back text again changes nothing.
    if (r.call != zr::FieldCall::TriggerDelay) {
        const zr::FieldResult again = zr::commitField(index, r.text, ctx);
        ZRFUZZ_CHECK(again.text == r.text);
    }
    zr::SettingsState st;
    (void)zr::storeInSettings(r, st);
    return 0;
}

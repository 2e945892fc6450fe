#include "diag/diag_registers.h"

#include "common/number_text.h"

namespace zr {

namespace {

int limit(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

uint16_t controlWithTau(uint16_t r, int tauindex) {
    return static_cast<uint16_t>((r & 0xFF1Fu) +
                                 static_cast<unsigned>(limit(tauindex, 0, 7)) * 32u);
}

uint16_t controlWithCalMode(uint16_t r, int calmodeindex) {
    return static_cast<uint16_t>((r & 0xF8FFu) +
                                 static_cast<unsigned>(limit(calmodeindex, 0, 7)) * 256u);
}

int dataOutCode(int dataoutindex) {
    const int d = limit(dataoutindex, 0, 2);
    return d == 0 ? 0 : 3 - d;
}

uint16_t controlWithDataOut(uint16_t r, int dataoutindex) {
    return static_cast<uint16_t>((r & 0x07FFu) +
                                 static_cast<unsigned>(dataOutCode(dataoutindex)) * 2048u);
}

TrimDac trimDacFor(int trimindex) {
    const int t = limit(trimindex, 0, 8);
    if (t == 8)
        return {14, -32768, 32767};
    return {static_cast<int16_t>(t + 2), 0, 255};
}

TrimWrite trimEntry(int trimindex, std::string_view text) {
    const TrimDac dac = trimDacFor(trimindex);
    double v = leadingNumber(text);
    if (v < dac.minValue)
        v = dac.minValue;
    if (v > dac.maxValue)
        v = dac.maxValue;
    if (v == 0.0)
        v = 0.0;
    return {dac.reg, toInt16Nearest(v), formatNumber(v)};
}

std::string trimReadoutText(int16_t value) {
    return std::to_string(value);
}

} // namespace zr

// Register-level computations of the Diagnostics panel: the bit fields of
// control register 1 (changed by read-modify-write, each list only touching
// its own field), the bumping register and the trim-DAC registers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr {

inline constexpr int16_t kControlRegister = 1;
inline constexpr int16_t kBumpingRegister = 13;

// The control register value written once at start-up: full calibration,
// tau 2^22, normal output, bits 2 and 4 set.
inline constexpr uint16_t kControlRegisterInitial = 1812; // 0x0714

inline constexpr std::array<std::string_view, 8> kTauEntries = {"2^22", "2^23", "2^24", "2^25",
                                                                "2^26", "2^27", "2^28", "2^29"};
inline constexpr std::array<std::string_view, 8> kCalModeEntries = {
    "Reset",        "Uncalibrated", "Dither only",    "Gain + dither",
    "DAC + dither", "no updates",   "no gain update", "Full calibration"};
inline constexpr std::array<std::string_view, 3> kDataOutEntries = {"Normal", "ADC1 only",
                                                                    "ADC2 only"};
inline constexpr std::array<std::string_view, 2> kBumpingEntries = {"Off", "On"};
inline constexpr std::array<std::string_view, 9> kTrimDacEntries = {
    "Input offset (fine)", "Input offset (coarse)", "ADC1 offset",
    "ADC1 reference",      "Sum Node offset",       "DAC1 reference",
    "DAC2 reference",      "DAC3 reference",        "20MHz Adjust"};

// New value of register 1 from the value `r` just read. Selection indices
// outside their list are limited to the list (0..7, 0..7, 0..2).
uint16_t controlWithTau(uint16_t r, int tauindex);         // (r AND 0xFF1F) + tau * 32
uint16_t controlWithCalMode(uint16_t r, int calmodeindex); // (r AND 0xF8FF) + mode * 256
uint16_t controlWithDataOut(uint16_t r, int dataoutindex); // (r AND 0x07FF) + code * 2048

// Output select code of the "Output" list: "Normal" 0, "ADC1 only" 2, "ADC2 only" 1.
int dataOutCode(int dataoutindex);

// The register as the driver's 16-bit argument and back.
inline int16_t asRegisterArg(uint16_t v) {
    return static_cast<int16_t>(v);
}
inline uint16_t fromRegisterRead(int16_t v) {
    return static_cast<uint16_t>(v);
}

// Trim DAC of a "Trim DAC" selection: register trimindex + 2 for 0..7 and 14
// for "20MHz Adjust" (8); accepted values 0..255, or -32768..32767 for 14.
struct TrimDac {
    int16_t reg;
    int minValue;
    int maxValue;
};
TrimDac trimDacFor(int trimindex); // index limited to 0..8

// What pressing Enter in the trim value field does: the register, the value
// written (limited to the trim's range, nearest integer with halves to the
// even neighbour) and the text the field shows afterwards (the limited value).
struct TrimWrite {
    int16_t reg;
    int16_t value;
    std::string text;
};
TrimWrite trimEntry(int trimindex, std::string_view text);

// The read-out of a trim register in the value field: signed decimal text.
std::string trimReadoutText(int16_t value);

} // namespace zr

// Form-level values of the main window that belong to the instrument settings (input, acquisition,
// filter, trigger, clock). Plain data, no widgets: the main window inherits it, so handlers use the
// names directly, and tests can build it on its own.
//
// Every value starts at 0 like the window's other form-level values, except
// `clockfreq` and `blocklen`, which start at the values of the first entries
// of their lists (20.48 MHz internal clock, 32 samples) so that nothing ever
// divides by a zero clock or block size before the preset has run.
#pragma once

#include <cstdint>

namespace zr {

struct SettingsState {
    // Input panel: selection indices of the lists.
    int16_t rangeindex = 0;    // "Range"; driver range code = 9 - rangeindex
    int16_t couplingindex = 0; // "Coupling": 0 "DC", 1 "AC"
    int16_t groundindex = 0;   // "Ground": 0 "Single Ended", 1 "Floating"
    int16_t signalindex = 0;   // "Signal": 0 "OFF", 1 "ON"
    int16_t aliasindex = 0;    // "Alias Filter": 0 "Bypassed", 1 "8MHz"

    // Acquisition panel.
    int16_t datatypeindex = 0;   // 0 "Baseband (real)", 1 "Zoom (complex)"
    int16_t resolutionindex = 0; // "Precision": 0 "32-bits", 1 "16-bits"
    int16_t blockindex = 0;      // "Block Size" selection
    int32_t blocklen = 32;       // samples per block, 32 * 2^blockindex
    int16_t bwindex = 0;         // "Bandwidth" selection (0 = analog filter entry)
    int16_t decimindex = 0;      // "Sample freq" selection
    double centerfrac = 0.0;     // centre frequency as a fraction of clockfreq

    // Trigger panel.
    int16_t trigtypeindex = 0;  // "Type": 0 "Software" .. 4 "Immediate"
    int16_t trigslopeindex = 0; // "Slope": 0 "Positive", 1 "Negative"
    int16_t adclevel = 0;       // "Level (% range)", -256..255, as sent
    int16_t magcode = 0;        // "Level (dBfs)" code, -349..19
    int32_t trigdelay = 0;      // "Delay (samples)", as read back from the module

    // Clock panel.
    int16_t masterindex = 0; // "Master Mode": 0 "Off", 1 "On", 2 "Buffer"
    int16_t syncindex = 0;   // "Sync Mode": 0 "Independent", 1 "Front", 2 "Rear"
    int16_t clockindex = 0;  // "Source": 0 "20.48MHz", 1 "20MHz", 2 "External", 3 "20MHz locked"
    double clockfreq = 20480000.0; // sample clock in Hz
};

} // namespace zr

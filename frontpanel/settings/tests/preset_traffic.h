// The driver calls of one preset, in order, worked out handler by handler. Register 1 reads
// 1812 (what start-up writes) and the trigger delay reads back as sent.
#pragma once

#include <string>
#include <vector>

namespace zr::test {

inline std::vector<std::string> expectedPresetTraffic(int handle) {
    std::vector<std::string> calls = {
        // trigger generation on (triggen_Click)
        "zrq7010_trigger_gen # 1",
        // bumping "On" (register 13), tau "2^22" (read-modify-write of
        // register 1), trim DAC "Input offset (coarse)" (reads register 3),
        // measmode "Spectrum" (no driver call), clock source "20.48MHz":
        "zrq7010_diag_reg # 13 1", "zrq7010_diag_reg_get # 1", "zrq7010_diag_reg # 1 1812",
        "zrq7010_diag_reg_get # 3", "zrq7010_clock_source # 0",
        "zrq7010_frequency_center # 0", // clocksource_Click re-applies txt(2)
        // txt_lostfocus(0 .. 17)
        "zrq7010_frequency_center # 0",    // txt(1) re-applies the centre
        "zrq7010_frequency_center # 0",    // txt(2)
        "zrq7010_trigger_adclevel # 0",    // txt(6)
        "zrq7010_trigger_maglevel # -159", // txt(7): -60 dBfs
        "zrq7010_trigger_delay # 0",       // txt(8) and its read-back
        "zrq7010_trigger_delay_get #",
        // the lists
        "zrq7010_filter_decimate # 0",   // sampfreq 0
        "zrq7010_data_blocksize # 1024", // blocksize 5
        "zrq7010_input_range # 9",       // range 0 ...
        "zrq7010_diag_reg_get # 3",      // ... and its trim read-out
        "zrq7010_input_coupling # 0", "zrq7010_input_float # 0", "zrq7010_input_signal # 1",
        "zrq7010_input_alias_filter # 1",
        "zrq7010_data_type # 0", // datatype 0, then the delay again
        "zrq7010_trigger_delay # 0", "zrq7010_trigger_delay_get #",
        "zrq7010_data_resolution # 0", // precision 0, then the delay again
        "zrq7010_trigger_delay # 0", "zrq7010_trigger_delay_get #",
        // averaging 0, resamp 0: no driver call
        "zrq7010_diag_reg_get # 1", // calmode 7 "Full calibration"
        "zrq7010_diag_reg # 1 1812",
        "zrq7010_diag_reg_get # 1", // dataout 0 "Normal"
        "zrq7010_diag_reg # 1 1812",
        "zrq7010_data_blocksize # 1024", // window 2 runs blocksize_click
        // histbins 4: no driver call
        "zrq7010_trigger_type # 4", "zrq7010_trigger_slope # 0",
        // markermode 1: no driver call
        "zrq7010_clock_multi_sync # 0", "zrq7010_clock_master # 0", "zrq7010_filter_bw # 0",
        // ypos 0, xpos 0, xautoflag: no driver call
        "zrq7010_clock_dsp # 1", // "Slow Clock" unchecked sends 1
    };
    for (std::string& line : calls) {
        line.replace(line.find('#'), 1, std::to_string(handle));
    }
    return calls;
}

} // namespace zr::test

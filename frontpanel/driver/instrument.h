// The operations of the ZRQ7010 instrument driver that the front panel calls.
//
// Every method mirrors one exported function of the driver library
// (libzrq7010_32.so / zrq7010_32.dll): same name without the "zrq7010_"
// prefix, same argument order, the session handle first. Text buffers are
// 80 characters of 8-bit text that the driver fills and terminates with a
// code-0 character. The production implementation binds the library by
// name at its first call; tests use a recording fake.
#pragma once

#include <cstdint>

namespace zr {

// Size of every text buffer handed to the driver.
inline constexpr int kDriverTextSize = 80;

class Instrument {
public:
    virtual ~Instrument() = default;

    // Session
    virtual int32_t init(const char* descriptor, int16_t idQuery, int16_t reset,
                         int32_t* instr) = 0;
    virtual int32_t error_message(int32_t instr, int32_t status, char* text) = 0;
    virtual int32_t close(int32_t instr) = 0;
    virtual int32_t reset(int32_t instr) = 0;

    // Acquisition
    virtual int32_t meas_start(int32_t instr) = 0;
    virtual int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overload) = 0;

    // Input
    virtual int32_t input_range(int32_t instr, int16_t code) = 0;
    virtual int32_t input_coupling(int32_t instr, int16_t value) = 0;
    virtual int32_t input_float(int32_t instr, int16_t value) = 0;
    virtual int32_t input_signal(int32_t instr, int16_t value) = 0;
    virtual int32_t input_alias_filter(int32_t instr, int16_t value) = 0;
    virtual int32_t input_autozero(int32_t instr) = 0;
    virtual int32_t input_range_auto(int32_t instr, int16_t a, int16_t b) = 0;
    virtual int32_t input_range_get(int32_t instr, int16_t* code) = 0;
    virtual int32_t status_get(int32_t instr, int16_t* status) = 0;

    // Data and filter
    virtual int32_t data_type(int32_t instr, int16_t value) = 0;
    virtual int32_t data_resolution(int32_t instr, int16_t value) = 0;
    virtual int32_t data_blocksize(int32_t instr, int32_t samples) = 0;
    virtual int32_t data_append_status(int32_t instr, int16_t on) = 0;
    virtual int32_t data_memsize_get(int32_t instr, int16_t* megabytes) = 0;
    virtual int32_t filter_bw(int32_t instr, int16_t value) = 0;
    virtual int32_t filter_decimate(int32_t instr, int16_t value) = 0;
    virtual int32_t frequency_center(int32_t instr, double fraction) = 0;

    // Trigger
    virtual int32_t trigger_type(int32_t instr, int16_t value) = 0;
    virtual int32_t trigger_slope(int32_t instr, int16_t value) = 0;
    virtual int32_t trigger_adclevel(int32_t instr, int16_t level) = 0;
    virtual int32_t trigger_maglevel(int32_t instr, int16_t code) = 0;
    virtual int32_t trigger_delay(int32_t instr, int32_t samples) = 0;
    virtual int32_t trigger_delay_get(int32_t instr, int32_t* samples) = 0;
    virtual int32_t trigger_gen(int32_t instr, int16_t on) = 0;

    // Clock
    virtual int32_t clock_source(int32_t instr, int16_t value) = 0;
    virtual int32_t clock_master(int32_t instr, int16_t value) = 0;
    virtual int32_t clock_multi_sync(int32_t instr, int16_t value) = 0;
    virtual int32_t clock_dsp(int32_t instr, int16_t value) = 0;

    // Diagnostics and calibration
    virtual int32_t diag_reg(int32_t instr, int16_t reg, int16_t value) = 0;
    virtual int32_t diag_reg_get(int32_t instr, int16_t reg, int16_t* value) = 0;
    virtual int32_t diag_poke(int32_t instr, int16_t reg, int32_t value) = 0;
    virtual int32_t diag_peek(int32_t instr, int16_t reg, int32_t* value) = 0;
    virtual int32_t diag_adccal_get(int32_t instr, double* table33) = 0;
    virtual int32_t diag_cal(int32_t instr, int32_t stamp) = 0;
    virtual int32_t diag_cal_get(int32_t instr, int32_t* stamp) = 0;
    virtual int32_t self_test(int32_t instr, int16_t* result, char* text) = 0;
    virtual int32_t error_query(int32_t instr, int32_t* code, char* text) = 0;
    virtual int32_t revision_query(int32_t instr, char* libraryRev, char* firmwareRev) = 0;
};

} // namespace zr

/*
 * zrq7010_32 - every function of the driver, listed once.
 *
 * ZRQ7010_FUNCTIONS(X) expands X(return type, name, parameters, arguments)
 * for each function, in the order of the driver's documentation:
 *   - name: the C function's name without its "zrq7010_" prefix
 *     (read stands for zrq7010_read);
 *   - parameters: the parenthesised parameter list, session handle first;
 *   - arguments: the same parameters' names, parenthesised, for forwarding.
 * The C prototypes (zrq7010_32.h), the front panel's instrument interface,
 * its binding to the loaded library and its test fake are all expanded from
 * this list, so a function is added or changed here and nowhere else.
 *
 * Every function answers a 32-bit status (0 = success). Pointer parameters
 * other than the descriptor are outputs: the driver writes through them, and
 * char* outputs are text buffers of ZRQ7010_TEXT_SIZE bytes.
 */
#ifndef ZRQ7010_32_FUNCTIONS_H
#define ZRQ7010_32_FUNCTIONS_H

#include <stdint.h>

/* Laid out by hand: the formatter would read "int16_t* code" in the lists as a product. */
/* clang-format off */
#define ZRQ7010_FUNCTIONS(X)                                                                       \
    /* ---- Session ---- */                                                                        \
    X(int32_t, init, (const char* descriptor, int16_t id_query, int16_t reset, int32_t* instr),    \
      (descriptor, id_query, reset, instr))                                                        \
    X(int32_t, error_message, (int32_t instr, int32_t status, char* text), (instr, status, text))  \
    X(int32_t, close, (int32_t instr), (instr))                                                    \
    X(int32_t, reset, (int32_t instr), (instr))                                                    \
                                                                                                   \
    /* ---- Acquisition ---- */                                                                    \
    X(int32_t, meas_start, (int32_t instr), (instr))                                               \
    /* Baseband: blocklen values in volts. Zoom: blocklen complex samples as                       \
     * 2*blocklen values, (real, imaginary) interleaved. */                                        \
    X(int32_t, read, (int32_t instr, float* data, int32_t blocklen, int16_t* overload),            \
      (instr, data, blocklen, overload))                                                           \
                                                                                                   \
    /* ---- Input ---- */                                                                          \
    /* Range code 0 (20 mV full scale) .. 9 (10.24 V); each step doubles. */                       \
    X(int32_t, input_range, (int32_t instr, int16_t code), (instr, code))                          \
    X(int32_t, input_coupling, (int32_t instr, int16_t value), (instr, value))                     \
    X(int32_t, input_float, (int32_t instr, int16_t value), (instr, value))                        \
    X(int32_t, input_signal, (int32_t instr, int16_t value), (instr, value))                       \
    X(int32_t, input_alias_filter, (int32_t instr, int16_t value), (instr, value))                 \
    X(int32_t, input_autozero, (int32_t instr), (instr))                                           \
    X(int32_t, input_range_auto, (int32_t instr, int16_t a, int16_t b), (instr, a, b))             \
    X(int32_t, input_range_get, (int32_t instr, int16_t* code), (instr, code))                     \
    X(int32_t, status_get, (int32_t instr, int16_t* status), (instr, status))                      \
                                                                                                   \
    /* ---- Data and filter ---- */                                                                \
    X(int32_t, data_type, (int32_t instr, int16_t value), (instr, value))                          \
    X(int32_t, data_resolution, (int32_t instr, int16_t value), (instr, value))                    \
    X(int32_t, data_blocksize, (int32_t instr, int32_t samples), (instr, samples))                 \
    X(int32_t, data_append_status, (int32_t instr, int16_t on), (instr, on))                       \
    X(int32_t, data_memsize_get, (int32_t instr, int16_t* megabytes), (instr, megabytes))          \
    X(int32_t, filter_bw, (int32_t instr, int16_t value), (instr, value))                          \
    X(int32_t, filter_decimate, (int32_t instr, int16_t value), (instr, value))                    \
    /* Centre frequency as a fraction of the sample clock. */                                      \
    X(int32_t, frequency_center, (int32_t instr, double fraction), (instr, fraction))              \
                                                                                                   \
    /* ---- Trigger ---- */                                                                        \
    X(int32_t, trigger_type, (int32_t instr, int16_t value), (instr, value))                       \
    X(int32_t, trigger_slope, (int32_t instr, int16_t value), (instr, value))                      \
    X(int32_t, trigger_adclevel, (int32_t instr, int16_t level), (instr, level))                   \
    X(int32_t, trigger_maglevel, (int32_t instr, int16_t code), (instr, code))                     \
    X(int32_t, trigger_delay, (int32_t instr, int32_t samples), (instr, samples))                  \
    X(int32_t, trigger_delay_get, (int32_t instr, int32_t* samples), (instr, samples))             \
    X(int32_t, trigger_gen, (int32_t instr, int16_t on), (instr, on))                              \
                                                                                                   \
    /* ---- Clock ---- */                                                                          \
    X(int32_t, clock_source, (int32_t instr, int16_t value), (instr, value))                       \
    X(int32_t, clock_master, (int32_t instr, int16_t value), (instr, value))                       \
    X(int32_t, clock_multi_sync, (int32_t instr, int16_t value), (instr, value))                   \
    X(int32_t, clock_dsp, (int32_t instr, int16_t value), (instr, value))                          \
                                                                                                   \
    /* ---- Diagnostics and calibration ---- */                                                    \
    X(int32_t, diag_reg, (int32_t instr, int16_t reg, int16_t value), (instr, reg, value))         \
    X(int32_t, diag_reg_get, (int32_t instr, int16_t reg, int16_t* value), (instr, reg, value))    \
    X(int32_t, diag_poke, (int32_t instr, int16_t reg, int32_t value), (instr, reg, value))        \
    X(int32_t, diag_peek, (int32_t instr, int16_t reg, int32_t* value), (instr, reg, value))       \
    /* Writes 33 doubles. */                                                                       \
    X(int32_t, diag_adccal_get, (int32_t instr, double* table), (instr, table))                    \
    X(int32_t, diag_cal, (int32_t instr, int32_t stamp), (instr, stamp))                           \
    X(int32_t, diag_cal_get, (int32_t instr, int32_t* stamp), (instr, stamp))                      \
    X(int32_t, self_test, (int32_t instr, int16_t* result, char* text), (instr, result, text))     \
    X(int32_t, error_query, (int32_t instr, int32_t* code, char* text), (instr, code, text))       \
    X(int32_t, revision_query, (int32_t instr, char* library_rev, char* firmware_rev),             \
      (instr, library_rev, firmware_rev))
/* clang-format on */

#endif /* ZRQ7010_32_FUNCTIONS_H */

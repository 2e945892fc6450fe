/*
 * zrq7010_32 - instrument driver of the ZRQ7010 digitizer module.
 *
 * Plain C interface. Every function returns a 32-bit status, 0 = success,
 * and takes the session handle first (zrq7010_init writes it). Text buffers
 * handed to the driver hold ZRQ7010_TEXT_SIZE (80) bytes; the driver writes
 * a code-0-terminated text of at most 79 characters into them.
 *
 * This header describes the stand-in build of the library (a virtual module,
 * see simdriver/README.md); the function list and argument types are the
 * ones the front panel binds by name.
 *
 * Session handle 0 is the "no instrument" session the front panel uses in
 * simulated mode: every call with it succeeds and touches no module.
 */
#ifndef ZRQ7010_32_H
#define ZRQ7010_32_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(ZRQ7010_BUILDING)
#define ZRQ7010_API __declspec(dllexport)
#else
#define ZRQ7010_API __declspec(dllimport)
#endif
#define ZRQ7010_CALL __stdcall
#else
#if defined(ZRQ7010_BUILDING)
#define ZRQ7010_API __attribute__((visibility("default")))
#else
#define ZRQ7010_API
#endif
#define ZRQ7010_CALL
#endif

#define ZRQ7010_TEXT_SIZE 80

/* ---- Status codes ------------------------------------------------------- */
#define ZRQ7010_SUCCESS 0
/* zrq7010_read: no block is ready (start a measurement, then read again). */
#define ZRQ7010_NOT_READY 2
/* zrq7010_init: no module answers at the address of the descriptor. */
#define ZRQ7010_ERR_NO_MODULE (-1001)
/* zrq7010_init: the descriptor text is empty or not understood. */
#define ZRQ7010_ERR_DESCRIPTOR (-1002)
/* The session handle is not an open session. */
#define ZRQ7010_ERR_SESSION (-1003)
/* An argument is outside its accepted range; the setting is unchanged. */
#define ZRQ7010_ERR_PARAMETER (-1004)
/* zrq7010_meas_start: the settings cannot be acquired together. */
#define ZRQ7010_ERR_BAD_SETUP (-1005)
/* A required pointer argument is null. */
#define ZRQ7010_ERR_NULL_POINTER (-1006)
/* zrq7010_init: every session slot is in use. */
#define ZRQ7010_ERR_TOO_MANY_SESSIONS (-1007)
/* zrq7010_read: the module failed to deliver the block. */
#define ZRQ7010_ERR_HARDWARE (-1008)

/* zrq7010_status_get: bit 15 (the sign bit) is set while no operation is in
 * progress; it is clear while an automatic range search runs. */
#define ZRQ7010_STATUS_IDLE 0x8000
#define ZRQ7010_STATUS_ARMED 0x0004
#define ZRQ7010_STATUS_OVERLOAD 0x0002
#define ZRQ7010_STATUS_BLOCK_READY 0x0001

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Session ------------------------------------------------------------ */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_init(const char* descriptor, int16_t id_query,
                                              int16_t reset, int32_t* instr);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_error_message(int32_t instr, int32_t status, char* text);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_close(int32_t instr);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_reset(int32_t instr);

/* ---- Acquisition -------------------------------------------------------- */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_meas_start(int32_t instr);
/* Baseband: blocklen values in volts. Zoom: blocklen complex samples as
 * 2*blocklen values, (real, imaginary) interleaved. */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_read(int32_t instr, float* data, int32_t blocklen,
                                              int16_t* overload);

/* ---- Input -------------------------------------------------------------- */
/* Range code 0 (20 mV full scale) .. 9 (10.24 V); each step doubles. */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_range(int32_t instr, int16_t code);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_coupling(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_float(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_signal(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_alias_filter(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_autozero(int32_t instr);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_range_auto(int32_t instr, int16_t a, int16_t b);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_range_get(int32_t instr, int16_t* code);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_status_get(int32_t instr, int16_t* status);

/* ---- Data and filter ---------------------------------------------------- */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_type(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_resolution(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_blocksize(int32_t instr, int32_t samples);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_append_status(int32_t instr, int16_t on);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_memsize_get(int32_t instr, int16_t* megabytes);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_filter_bw(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_filter_decimate(int32_t instr, int16_t value);
/* Centre frequency as a fraction of the sample clock. */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_frequency_center(int32_t instr, double fraction);

/* ---- Trigger ------------------------------------------------------------ */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_type(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_slope(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_adclevel(int32_t instr, int16_t level);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_maglevel(int32_t instr, int16_t code);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_delay(int32_t instr, int32_t samples);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_delay_get(int32_t instr, int32_t* samples);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_gen(int32_t instr, int16_t on);

/* ---- Clock -------------------------------------------------------------- */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_source(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_master(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_multi_sync(int32_t instr, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_dsp(int32_t instr, int16_t value);

/* ---- Diagnostics and calibration ---------------------------------------- */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_reg(int32_t instr, int16_t reg, int16_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_reg_get(int32_t instr, int16_t reg, int16_t* value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_poke(int32_t instr, int16_t reg, int32_t value);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_peek(int32_t instr, int16_t reg, int32_t* value);
/* Writes 33 doubles. */
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_adccal_get(int32_t instr, double* table);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_cal(int32_t instr, int32_t stamp);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_cal_get(int32_t instr, int32_t* stamp);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_self_test(int32_t instr, int16_t* result, char* text);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_error_query(int32_t instr, int32_t* code, char* text);
ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_revision_query(int32_t instr, char* library_rev,
                                                        char* firmware_rev);

#ifdef __cplusplus
}
#endif

#endif /* ZRQ7010_32_H */

/*
 * zrq7010_32 - instrument driver of the ZRQ7010 digitizer module.
 *
 * Plain C interface. Every function returns a 32-bit status, 0 = success,
 * and takes the session handle first (zrq7010_init writes it). Text buffers
 * handed to the driver hold ZRQ7010_TEXT_SIZE (80) bytes; the driver writes
 * a code-0-terminated text of at most 79 characters into them.
 *
 * This header describes the stand-in build of the library (a virtual module,
 * see simdriver/README.md); the function list and argument types, in
 * zrq7010_32_functions.h, are the ones the front panel binds by name.
 *
 * Session handle 0 is the "no instrument" session the front panel uses in
 * simulated mode: every call with it succeeds and touches no module.
 */
#ifndef ZRQ7010_32_H
#define ZRQ7010_32_H

#include "zrq7010_32_functions.h"

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

/* One prototype per entry of the function list, e.g.
 * int32_t zrq7010_read(int32_t instr, float* data, int32_t blocklen, int16_t* overload); */
#define ZRQ7010_DECLARE(ret, name, params, args) ZRQ7010_API ret ZRQ7010_CALL zrq7010_##name params;
ZRQ7010_FUNCTIONS(ZRQ7010_DECLARE)
#undef ZRQ7010_DECLARE

#ifdef __cplusplus
}
#endif

#endif /* ZRQ7010_32_H */

/* A driver library that exports only zrq7010_init and zrq7010_close, for
 * tests that a missing function fails at its own first call. */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t
zrq7010_init(const char* descriptor, int16_t id_query, int16_t reset, int32_t* instr) {
    (void)descriptor;
    (void)id_query;
    (void)reset;
    *instr = 42;
    return 0;
}

__attribute__((visibility("default"))) int32_t zrq7010_close(int32_t instr) {
    return instr == 42 ? 0 : -1;
}

// The operations of the ZRQ7010 instrument driver that the front panel calls.
//
// Every method mirrors one exported function of the driver library
// (libzrq7010_32.so / zrq7010_32.dll): same name without the "zrq7010_"
// prefix, same parameters, the session handle first; they are expanded from
// the driver's function list (zrq7010_32_functions.h), where each is listed
// with its parameters. Text buffers are 80 characters of 8-bit text that the
// driver fills and terminates with a code-0 character. The production
// implementation binds the library by name at its first call; tests use a
// recording fake.
#pragma once

#include "zrq7010_32_functions.h"

#include <cstdint>

namespace zr {

// Size of every text buffer handed to the driver.
inline constexpr int kDriverTextSize = 80;

class Instrument {
public:
    virtual ~Instrument() = default;

    // One pure virtual per driver function, e.g.
    // virtual int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overload) = 0;
#define ZR_DECLARE_OPERATION(ret, name, params, args) virtual ret name params = 0;
    ZRQ7010_FUNCTIONS(ZR_DECLARE_OPERATION)
#undef ZR_DECLARE_OPERATION
};

} // namespace zr

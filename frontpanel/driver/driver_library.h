// The production instrument: the driver library libzrq7010_32.so
// (zrq7010_32.dll on Windows), loaded at the first call and bound function
// by function, each at its own first call.
#pragma once

#include "driver/instrument.h"
#include "driver/library_loader.h"

#include <QString>

#include <memory>

namespace zr {

// File name of the driver library on this platform.
QString driverLibraryFileName();

// Every call forwards to the driver function of the same name. The first
// call loads the library (environment variable ZRQ7010_DRIVER names a file
// that is used instead of any search; otherwise the loader's normal search,
// then the program's directory, then the private folder the package installs
// the stand-in into, ../lib/<arch>/zrq7010 from the program, so that a real
// driver on the loader's path always wins); the first call of each function binds it.
// A library or function that cannot be found throws LibraryError at that
// call. Use from one thread at a time.
class DriverLibrary final : public Instrument {
public:
    DriverLibrary();
    ~DriverLibrary() override;

    // True once the library has been loaded; the file actually loaded.
    bool isLoaded() const;
    QString loadedFile() const;

    // Every driver function of the list, forwarded.
#define ZR_DECLARE_OVERRIDE(ret, name, params, args) ret name params override;
    ZRQ7010_FUNCTIONS(ZR_DECLARE_OVERRIDE)
#undef ZR_DECLARE_OVERRIDE

private:
    struct Bound;
    LazyLibrary library_;
    std::unique_ptr<Bound> bound_;
};

// The instrument the program uses: the driver library, bound lazily.
std::unique_ptr<Instrument> makeDriverLibrary();

} // namespace zr

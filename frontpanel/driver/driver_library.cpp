#include "driver/driver_library.h"

#include "zrq7010_32.h"

namespace zr {

// One cached pointer per function, null until its first call.
struct DriverLibrary::Bound {
#define ZR_DECLARE_POINTER(ret, name, params, args) decltype(&::zrq7010_##name) name = nullptr;
    ZRQ7010_FUNCTIONS(ZR_DECLARE_POINTER)
#undef ZR_DECLARE_POINTER
};

QString driverLibraryFileName() {
#if defined(_WIN32)
    return QStringLiteral("zrq7010_32.dll");
#else
    return QStringLiteral("libzrq7010_32.so");
#endif
}

DriverLibrary::DriverLibrary()
    : library_(LibrarySearch{QStringLiteral("ZRQ7010_DRIVER"), driverLibraryFileName(),
                             QStringLiteral("instrument driver library"),
                             QStringLiteral(ZR_BIN_TO_LIBDIR "/zrq7010")}),
      bound_(std::make_unique<Bound>()) {}

DriverLibrary::~DriverLibrary() = default;

bool DriverLibrary::isLoaded() const {
    return library_.isLoaded();
}

QString DriverLibrary::loadedFile() const {
    return library_.loadedFile();
}

// The bound function `name`, binding it on first use.
#define ZR_FN(name)                                                                                \
    (bound_->name != nullptr ? bound_->name                                                        \
                             : (bound_->name = reinterpret_cast<decltype(&::zrq7010_##name)>(      \
                                    library_.resolve("zrq7010_" #name))))

// Each function forwards its arguments to the driver's function of the same name.
#define ZR_FORWARD(ret, name, params, args)                                                        \
    ret DriverLibrary::name params {                                                               \
        return ZR_FN(name) args;                                                                   \
    }
ZRQ7010_FUNCTIONS(ZR_FORWARD)
#undef ZR_FORWARD
#undef ZR_FN

std::unique_ptr<Instrument> makeDriverLibrary() {
    return std::make_unique<DriverLibrary>();
}

} // namespace zr

// The check of a library file before loading: any bytes give an answer
// without reading outside them, and a file it accepts has every load segment
// inside the file.
#include "driver/library_file_check.h"
#include "fuzz_input.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that reading past them is caught.
    const QByteArray image(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString problem = zr::sharedLibraryImageProblem(image);
    ZRFUZZ_CHECK(!problem.isEmpty() || size >= 64);
    return 0;
}

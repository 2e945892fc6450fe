// A damaged library file is refused with a reason instead of being handed to the system loader,
// which would end the process with a bus error.
#include "binding_test_util.h"
#include "driver/driver_library.h"
#include "driver/dsp_library.h"
#include "driver/library_file_check.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

QByteArray contentsOf(const char* path) {
    QFile f(QString::fromUtf8(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Truncated copies of each library (inside the header, inside the program headers, after them
// but before the end of the load segments) are refused, by the check and by the binding; the
// whole file passes.
TEST(LibraryFileCheck, TruncatedCopiesOfEachLibraryAreRefusedBeforeLoading) {
    struct Library {
        const char* path;
        const char* env;
        std::function<void()> firstCall;
    };
    zr::DriverLibrary* driver = nullptr;
    zr::DspLibrary* dsp = nullptr;
    const Library libraries[] = {
        {ZR_STANDIN_DRIVER, "ZRQ7010_DRIVER", [&] { driver->close(0); }},
        {ZR_DSP_LIBRARY, "ZRDSP_LIBRARY", [&] { dsp->window(nullptr, 0, 0, 0, 1.0f); }},
    };
    for (const Library& lib : libraries) {
        SCOPED_TRACE(lib.path);
        const QByteArray whole = contentsOf(lib.path);
        ASSERT_GT(whole.size(), 8192);
        EXPECT_EQ(zr::sharedLibraryImageProblem(whole), QString());
        for (const qsizetype size : {qsizetype{40}, qsizetype{100}, qsizetype{4096}}) {
            SCOPED_TRACE(size);
            const QByteArray cut = whole.left(size);
            EXPECT_NE(zr::sharedLibraryImageProblem(cut), QString());
            QTemporaryDir dir;
            const QString copy = dir.filePath("cut.so");
            QFile file(copy);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(cut) == cut.size());
            file.close();
            EXPECT_TRUE(zr::sharedLibraryFileProblem(copy).contains("truncated"))
                << zr::sharedLibraryFileProblem(copy).toStdString();
            zrtest::ScopedEnv env(lib.env, copy.toLocal8Bit().constData());
            zr::DriverLibrary driverLibrary;
            zr::DspLibrary dspLibrary;
            driver = &driverLibrary;
            dsp = &dspLibrary;
            const std::string error = zrtest::errorOf(lib.firstCall);
            EXPECT_NE(error.find(copy.toStdString()), std::string::npos) << error;
            EXPECT_NE(error.find("truncated"), std::string::npos) << error;
        }
    }
}

// Not a library at all, and a library of the wrong kind, are named as such.
TEST(LibraryFileCheck, OtherFilesAreNamedForWhatTheyAre) {
    EXPECT_TRUE(zr::sharedLibraryImageProblem("just some text, long enough for a header......")
                    .contains("no ELF header"));
    QByteArray wrongClass = contentsOf(ZR_STANDIN_DRIVER);
    ASSERT_GT(wrongClass.size(), 64);
    wrongClass[4] = static_cast<char>(wrongClass[4] == 2 ? 1 : 2); // 32-bit <-> 64-bit
    EXPECT_TRUE(zr::sharedLibraryImageProblem(wrongClass).contains("-bit program"));
    EXPECT_TRUE(zr::sharedLibraryFileProblem("/nonexistent/lib.so").size() > 0);
}

} // namespace

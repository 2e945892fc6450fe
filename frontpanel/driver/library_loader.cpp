#include "driver/library_loader.h"

#include "driver/library_file_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <utility>

namespace zr {

LazyLibrary::LazyLibrary(LibrarySearch search) : search_(std::move(search)) {}

bool LazyLibrary::isLoaded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return library_ != nullptr;
}

QString LazyLibrary::loadedFile() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return library_ ? library_->fileName() : QString();
}

namespace {

// The file the system loader would open for `file`: the path itself (or a
// variant with the platform's prefix and suffix, as QLibrary tries them), or
// for a bare name the first match in the loader's search path. Empty when
// none exists here; the loader's own places (its cache, the system folders)
// hold installed copies and are left to it.
QString fileTheLoaderWouldOpen(const QString& file) {
    const QFileInfo info(file);
    const QString suffixed = file + QStringLiteral(".so");
    const QString prefixed =
        info.dir().filePath(QStringLiteral("lib") + info.fileName() + QStringLiteral(".so"));
    const QStringList variants{file, suffixed, prefixed};
    if (file.contains(QLatin1Char('/'))) {
        for (const QString& v : variants) {
            if (QFileInfo(v).isFile()) {
                return v;
            }
        }
        return {};
    }
    const QString path = qEnvironmentVariable("LD_LIBRARY_PATH");
    for (const QString& dir : path.split(QRegularExpression(QStringLiteral("[:;]")))) {
        for (const QString& v : variants) {
            const QString candidate = QDir(dir.isEmpty() ? QStringLiteral(".") : dir).filePath(v);
            if (QFileInfo(candidate).isFile()) {
                return candidate;
            }
        }
    }
    return {};
}

// Loads exactly the given file (or name for the loader's own search);
// returns the library or nullptr and the reason. A damaged file is refused
// before the loader sees it (see library_file_check.h).
std::unique_ptr<QLibrary> tryLoad(const QString& file, QString& reason) {
    const QString onDisk = fileTheLoaderWouldOpen(file);
    if (!onDisk.isEmpty()) {
        const QString problem = sharedLibraryFileProblem(onDisk);
        if (!problem.isEmpty()) {
            reason = QStringLiteral("%1: %2").arg(onDisk, problem);
            return nullptr;
        }
    }
    auto lib = std::make_unique<QLibrary>(file);
    if (lib->load()) {
        return lib;
    }
    reason = lib->errorString();
    return nullptr;
}

} // namespace

void LazyLibrary::loadLocked() {
    const QByteArray env = qgetenv(search_.envVar.toLocal8Bit().constData());
    QString reason;
    if (!env.isEmpty()) {
        // The named file, and nothing else: a wrong setting must not be
        // hidden by another copy of the library found elsewhere.
        const QString file = QString::fromLocal8Bit(env);
        library_ = tryLoad(QFileInfo(file).absoluteFilePath(), reason);
        if (!library_) {
            throw LibraryError(QStringLiteral("Cannot load the %1 %2 (named by %3): %4")
                                   .arg(search_.description, file, search_.envVar, reason)
                                   .toStdString());
        }
        return;
    }
    library_ = tryLoad(search_.fileName, reason);
    if (library_) {
        return;
    }
    if (QCoreApplication::instance() != nullptr) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        QStringList folders{programDir.absolutePath()};
        if (!search_.privateDir.isEmpty()) {
            folders << QDir::cleanPath(programDir.absoluteFilePath(search_.privateDir));
        }
        for (const QString& folder : folders) {
            QString localReason;
            library_ = tryLoad(QDir(folder).absoluteFilePath(search_.fileName), localReason);
            if (library_) {
                return;
            }
            reason += QStringLiteral("; ") + localReason;
        }
    }
    throw LibraryError(QStringLiteral("Cannot load the %1 %2: %3")
                           .arg(search_.description, search_.fileName, reason)
                           .toStdString());
}

void* LazyLibrary::resolve(const char* function) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!library_) {
        loadLocked();
    }
    QFunctionPointer f = library_->resolve(function);
    if (f == nullptr) {
        throw LibraryError(
            QStringLiteral("The %1 %2 has no function %3")
                .arg(search_.description, library_->fileName(), QString::fromLatin1(function))
                .toStdString());
    }
    return reinterpret_cast<void*>(f);
}

} // namespace zr

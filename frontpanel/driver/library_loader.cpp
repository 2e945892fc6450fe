#include "driver/library_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

// Loads exactly the given file (or name for the loader's own search);
// returns the library or nullptr and the loader's reason.
std::unique_ptr<QLibrary> tryLoad(const QString& file, QString& reason) {
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

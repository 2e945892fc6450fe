#include "common/save_file.h"

#include <QDir>
#include <QSaveFile>

namespace zr {

QString saveWhole(const QString& path, const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (!write(file)) {
        // The device's own error when it has one, else the writer's failure.
        QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() || reason == QLatin1String("Unknown error")
                   ? QStringLiteral("the contents could not be written")
                   : reason;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

QString saveWhole(const QString& path, const QByteArray& contents) {
    return saveWhole(
        path, [&contents](QIODevice& device) { return device.write(contents) == contents.size(); });
}

QString saveFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("Could not write the file \"%1\": %2. Nothing was saved.")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace zr

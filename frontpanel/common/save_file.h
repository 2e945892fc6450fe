// Writing a file whole or not at all: the contents go to a temporary file in
// the same folder, which replaces the named file only once everything has
// been written. A write that fails leaves no new file behind and an older
// file of that name as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace zr {

// `write` puts the contents on the device and answers whether it succeeded.
// Returns the empty text on success, otherwise why the file could not be
// written ("No such file or directory").
QString saveWhole(const QString& path, const std::function<bool(QIODevice&)>& write);
QString saveWhole(const QString& path, const QByteArray& contents);

// The message shown when saving `path` failed for `reason`.
QString saveFailedText(const QString& path, const QString& reason);

} // namespace zr

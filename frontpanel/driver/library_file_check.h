// A look at a shared-library file before the system loader maps it.
//
// The loader maps the file's load segments into memory without checking that
// they lie inside the file; touching a page past the end of a truncated file
// then ends the process with a bus error. A file that fails this check is
// reported like a library that cannot be found, instead of being loaded.
#pragma once

#include <QByteArray>
#include <QString>

namespace zr {

// Why `image` (the whole file) cannot be this platform's shared library, or
// an empty text when its header and load segments are sound: an ELF shared
// object of the program's own class, byte order and machine, whose program
// headers and every load or dynamic segment lie inside the file.
QString sharedLibraryImageProblem(const QByteArray& image);

// The same for a file on disk; a file that cannot be read is a problem too.
// On platforms without ELF libraries only readability is checked.
QString sharedLibraryFileProblem(const QString& path);

} // namespace zr

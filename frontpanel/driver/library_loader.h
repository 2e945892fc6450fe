// Loading a shared library by name when it is first needed, and binding its
// functions by name when each is first called.
#pragma once

#include <QLibrary>
#include <QString>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

namespace zr {

// A library, or one of its functions, cannot be found. The message names the
// file or the function.
class LibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where to look for a library and how it is called on this platform.
struct LibrarySearch {
    QString envVar;      // names a file that is used instead of any search, when set
    QString fileName;    // e.g. "libzrq7010_32.so" / "zrq7010_32.dll"
    QString description; // e.g. "instrument driver library", used in messages
    QString privateDir;  // folder relative to the program's directory, searched last
                         // (the installed layout's own library folder); empty: none
};

// Loads the library on the first resolve(), in this order:
//   1. the file named by the environment variable, when it is set (only it);
//   2. the platform's normal library search for the file name (so the
//      loader's search path, LD_LIBRARY_PATH / PATH, is honoured);
//   3. the program's own directory, when an application object exists;
//   4. privateDir relative to the program's directory, when set (idem).
// So a library on the loader's path always wins over a private copy.
// Nothing happens at construction. The library stays loaded for the life of
// the process. A file that is not a sound shared library of this platform
// (e.g. a truncated copy) is refused before the system loader sees it and
// reported like a library that cannot be found (library_file_check.h).
class LazyLibrary {
public:
    explicit LazyLibrary(LibrarySearch search);
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // Address of the named function; loads the library first if needed.
    // Throws LibraryError when the library cannot be loaded or lacks it.
    void* resolve(const char* function);

    // True once the library has been loaded.
    bool isLoaded() const;
    // File actually loaded (empty until then).
    QString loadedFile() const;

private:
    void loadLocked();

    LibrarySearch search_;
    mutable std::mutex mutex_;
    std::unique_ptr<QLibrary> library_;
};

} // namespace zr

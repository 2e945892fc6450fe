// Test helpers of the library bindings.
#pragma once

#include "driver/library_loader.h"

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <string>

namespace zrtest {

// Sets (or, with nullptr, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        value != nullptr ? (void)qputenv(name, QByteArray(value)) : (void)qunsetenv(name);
    }
    ~ScopedEnv() { old_ ? (void)qputenv(name_, *old_) : (void)qunsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// The message of the LibraryError that f throws.
inline std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const zr::LibraryError& e) {
        return e.what();
    }
    return "(no LibraryError)";
}

} // namespace zrtest

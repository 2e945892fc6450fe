// Paths of the libraries the binding tests load, and a scoped environment
// variable.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace zrtest {

// Sets (or, with nullptr, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) {
            old_ = qgetenv(name);
        }
        if (value != nullptr) {
            qputenv(name, QByteArray(value));
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            qputenv(name_, *old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

} // namespace zrtest

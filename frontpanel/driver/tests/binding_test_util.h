// Sets (or, with nullptr, removes) an environment variable for one scope.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace zrtest {

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

} // namespace zrtest

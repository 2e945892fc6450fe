// The platform services the diagnostics, help and About functions of the main
// window reach outside the program with: the local clock read by the
// power-on save and the desktop's opener of the user guide. Empty members use
// the real service (QDateTime::currentDateTime, QDesktopServices::openUrl);
// tests put their own in, so they fix the date and see the guide's path
// without launching a viewer.
#pragma once

#include <QDateTime>
#include <QUrl>

#include <functional>

namespace zr {

struct DiagHooks {
    std::function<QDateTime()> now;
    std::function<bool(const QUrl&)> openUrl; // true when a viewer took the document
};

} // namespace zr

#include "common/tests/scripted_dialogs.h"

namespace zr {

QString ScriptedDialogs::saveFileName(const QString& title, const QString& suggested,
                                      const QString& filter) {
    QString a = input(filter, title, suggested);
    shown_.back().kind = Kind::SaveFile;
    return a;
}

std::vector<ScriptedDialogs::Shown> ScriptedDialogs::shownOf(Kind kind) const {
    std::vector<Shown> out;
    for (const auto& s : shown_)
        if (s.kind == kind)
            out.push_back(s);
    return out;
}

} // namespace zr

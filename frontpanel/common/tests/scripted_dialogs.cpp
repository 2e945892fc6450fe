#include "common/tests/scripted_dialogs.h"

namespace zr {

QString ScriptedDialogs::input(const QString& prompt, const QString& title, const QString& answer) {
    shown_.push_back({Kind::Input, prompt, title, answer});
    if (inputs_.empty()) {
        return QString();
    }
    QString a = inputs_.front();
    inputs_.pop_front();
    return a;
}

void ScriptedDialogs::message(const QString& text, const QString& title) {
    shown_.push_back({Kind::Message, text, title, QString()});
}

bool ScriptedDialogs::question(const QString& text, const QString& title) {
    shown_.push_back({Kind::Question, text, title, QString()});
    if (answers_.empty()) {
        return false;
    }
    const bool a = answers_.front();
    answers_.pop_front();
    return a;
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& suggested,
                                      const QString& filter) {
    QString a = input(filter, title, suggested);
    shown_.back().kind = Kind::SaveFile;
    return a;
}

std::vector<ScriptedDialogs::Shown> ScriptedDialogs::shownOf(Kind kind) const {
    std::vector<Shown> out;
    for (const auto& s : shown_) {
        if (s.kind == kind) {
            out.push_back(s);
        }
    }
    return out;
}

} // namespace zr

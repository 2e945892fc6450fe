#include "shell/dialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace zr {

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& answer) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, answer, &ok);
    return ok ? text : QString();
}

void QtDialogs::message(const QString& text, const QString& title) {
    QMessageBox::information(parent_, title, text, QMessageBox::Ok);
}

bool QtDialogs::question(const QString& text, const QString& title) {
    return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

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

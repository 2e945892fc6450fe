// Dialogs answered from a script, for the window tests.
#pragma once

#include "common/dialogs.h"

#include <QString>

#include <deque>
#include <vector>

namespace zr {

// Every dialog shown is recorded.
// input() with no scripted answer left behaves as Cancel (empty text);
// question() with no scripted answer left answers No; saveFileName() answers
// like input(), with the next scripted answer as the file name.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Input, Message, Question, SaveFile };
    struct Shown {
        Kind kind;
        QString text; // prompt, message text, or file types offered
        QString title;
        QString answer; // pre-filled answer of an input dialog or suggested file
    };

    void addInput(const QString& answer) { inputs_.push_back(answer); }
    void addAnswer(bool yes) { answers_.push_back(yes); }

    QString input(const QString& prompt, const QString& title, const QString& answer) override;
    void message(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    QString saveFileName(const QString& title, const QString& suggested,
                         const QString& filter) override;

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<Shown> shownOf(Kind kind) const;

private:
    std::deque<QString> inputs_;
    std::deque<bool> answers_;
    std::vector<Shown> shown_;
};

} // namespace zr

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

    QString input(const QString& prompt, const QString& title, const QString& answer) override {
        shown_.push_back({Kind::Input, prompt, title, answer});
        return next(inputs_, QString());
    }
    void message(const QString& text, const QString& title) override {
        shown_.push_back({Kind::Message, text, title, QString()});
    }
    bool question(const QString& text, const QString& title) override {
        shown_.push_back({Kind::Question, text, title, QString()});
        return next(answers_, false);
    }
    QString saveFileName(const QString& title, const QString& suggested,
                         const QString& filter) override;

    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<Shown> shownOf(Kind kind) const;

private:
    template <class T> static T next(std::deque<T>& script, T none) {
        if (script.empty())
            return none;
        T a = script.front();
        script.pop_front();
        return a;
    }
    std::deque<QString> inputs_;
    std::deque<bool> answers_;
    std::vector<Shown> shown_;
};

} // namespace zr

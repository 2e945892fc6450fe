// Modal dialogs of the front panel: a one-line input dialog, a message box
// with OK and a Yes/No question. The window talks to them only through this
// interface, so tests can answer them from a script.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QMessageBox;
class QWidget;

namespace zr {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // One-line input with a pre-filled answer. Cancel gives the empty text.
    virtual QString input(const QString& prompt, const QString& title, const QString& answer) = 0;
    // Message box with a single OK button.
    virtual void message(const QString& text, const QString& title) = 0;
    // Question with Yes and No; true for Yes.
    virtual bool question(const QString& text, const QString& title) = 0;
    // Asks where to save a file: `suggested` is the pre-filled path, `filter`
    // the file types offered ("CSV files (*.csv)"). Cancel gives the empty text.
    virtual QString saveFileName(const QString& title, const QString& suggested,
                                 const QString& filter) = 0;
};

// The text as a message box shows it: a zero-width space after every comma
// that no blank follows, so a long list of codes ("...,-1005,-1005,...") can
// wrap at the box's edge instead of running past it. Nothing visible changes.
QString withBreakOpportunities(const QString& text);

// The message box QtDialogs::message shows (OK button, information icon).
std::unique_ptr<QMessageBox> messageBox(QWidget* parent, const QString& text, const QString& title);

// The real, modal dialogs (QInputDialog / QMessageBox / QFileDialog) over `parent`.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString input(const QString& prompt, const QString& title, const QString& answer) override;
    void message(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    // A name typed without an extension gets the suggested file's extension.
    QString saveFileName(const QString& title, const QString& suggested,
                         const QString& filter) override;

private:
    QWidget* parent_;
};

} // namespace zr

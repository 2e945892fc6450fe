// The control mechanism of the front panel.
//
// Every list, check box, option button, push button and menu item runs its
// handler on its "Click" event. An operator's choice raises that event once
// (QComboBox::activated, QAbstractButton::clicked, QAction::triggered; never
// the *Changed/toggled signals). Code that changes a selection goes through
// the helpers below, which set the value and raise the same event once, also
// when the value does not change. Filling or rebuilding a list's entries
// raises nothing, so no handler runs while the window is built or a list is
// refilled.
//
// Text fields are applied only on loss of focus or Enter: a KeyFilter sits on
// each field and turns key presses into "KeyPress(KeyAscii)" calls (KeyAscii
// by reference; set to 0 to consume the key) and focus loss into "lostfocus".
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QRadioButton;
class QWidget;

namespace zr {

// Key code handed to KeyPress handlers for Enter/Return.
inline constexpr int kKeyEnter = 13;

// Program-driven selection: sets the value and runs the click handler once.
// selectEntry accepts -1 (no selection) .. count-1; any other index changes
// nothing, runs nothing and returns false.
bool selectEntry(QComboBox* list, int index);
void setChecked(QCheckBox* box, bool checked);
void clickOption(QRadioButton* option);
// Same as an operator's click on a push button (runs its handler once).
void clickButton(QAbstractButton* button);

// The selected entry of a list as a 16-bit list index (-1: none).
int16_t selection(const QComboBox* list);

// Replaces a list's entries without running its handler. The selection
// becomes none (-1), as after clearing a list.
void fillList(QComboBox* list, const QStringList& items);

// Shows `page` in its place: pages that share one place (a QStackedWidget)
// are brought to the front, so exactly that one is visible.
void bringToFront(QWidget* page);

// Wiring: connect a control's click event to a handler. The handler must not throw: the window
// hands every one of its handlers to MainForm::dispatch, which reports failures.
void onClick(QComboBox* list, QObject* context, std::function<void()> handler);
void onClick(QAbstractButton* button, QObject* context, std::function<void()> handler);
void onClick(QAction* item, QObject* context, std::function<void()> handler);

// Event filter for a text field: KeyPress(KeyAscii&) for every typed key
// (Enter gives kKeyEnter; a key whose KeyAscii is set to 0 is consumed) and
// lostfocus() when the field loses the input focus to another control
// (switching to another window does not count).
class KeyFilter : public QObject {
    Q_OBJECT
public:
    using KeyPress = std::function<void(int& keyAscii)>;
    using LostFocus = std::function<void()>;
    KeyFilter(QObject* parent, KeyPress keyPress, LostFocus lostFocus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPress keyPress_;
    LostFocus lostFocus_;
};

} // namespace zr

#include "common/controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>

#include <utility>

namespace zr {

int16_t selection(const QComboBox* list) {
    return static_cast<int16_t>(list->currentIndex());
}

bool selectEntry(QComboBox* list, int index) {
    if (index < -1 || index >= list->count()) {
        return false;
    }
    list->setCurrentIndex(index);
    emit list->activated(index);
    return true;
}

void setChecked(QCheckBox* box, bool checked) {
    box->setChecked(checked);
    emit box->clicked(checked);
}

void clickOption(QRadioButton* option) {
    option->setChecked(true);
    emit option->clicked(true);
}

void clickButton(QAbstractButton* button) {
    emit button->clicked(button->isChecked());
}

void fillList(QComboBox* list, const QStringList& items) {
    // activated is never raised by these calls; the blocker only keeps the
    // change signals quiet for anyone else who listens.
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
}

void bringToFront(QWidget* page) {
    if (auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget())) {
        stack->setCurrentWidget(page);
    } else {
        page->show();
        page->raise();
    }
}

void onClick(QComboBox* list, QObject* context, std::function<void()> handler) {
    QObject::connect(list, &QComboBox::activated, context, [h = std::move(handler)](int) { h(); });
}

void onClick(QAbstractButton* button, QObject* context, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, context,
                     [h = std::move(handler)](bool) { h(); });
}

void onClick(QAction* item, QObject* context, std::function<void()> handler) {
    QObject::connect(item, &QAction::triggered, context, [h = std::move(handler)](bool) { h(); });
}

KeyFilter::KeyFilter(QObject* parent, KeyPress keyPress, LostFocus lostFocus)
    : QObject(parent), keyPress_(std::move(keyPress)), lostFocus_(std::move(lostFocus)) {}

namespace {
// The 8-bit key code of a key press, or -1 for keys that type no character
// (arrows, function keys, modifiers), which raise no KeyPress.
int keyAsciiOf(const QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        return kKeyEnter;
    }
    const QString text = key->text();
    if (text.isEmpty()) {
        return -1;
    }
    const char16_t c = text.at(0).unicode();
    return c < 256 ? static_cast<int>(c) : -1;
}
} // namespace

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int code = keyAsciiOf(static_cast<QKeyEvent*>(event));
        if (code >= 0 && keyPress_) {
            int keyAscii = code;
            keyPress_(keyAscii);
            if (keyAscii == 0) {
                return true; // consumed
            }
        }
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && lostFocus_) {
            lostFocus_();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zr

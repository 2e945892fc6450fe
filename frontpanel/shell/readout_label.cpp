#include "shell/readout_label.h"

#include <QPainter>
#include <QStyle>

namespace zr {

ReadoutLabel::ReadoutLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextFormat(Qt::PlainText);
}

QSize ReadoutLabel::sizeHint() const {
    return {0, QLabel::sizeHint().height()};
}

QSize ReadoutLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void ReadoutLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    setToolTip(shown == text() ? QString() : text());
    style()->drawItemText(&p, area, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

} // namespace zr

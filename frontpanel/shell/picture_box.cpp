#include "shell/picture_box.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include <cmath>

namespace zr {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
    image_ = QImage(QSize(417, 345), QImage::Format_RGB32);
    image_.fill(backColor());
}

QColor PictureBox::backColor() const {
    return palette().color(QPalette::Base);
}
QColor PictureBox::foreColor() const {
    return palette().color(QPalette::Text);
}

void PictureBox::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

QTransform PictureBox::userTransform() const {
    const double w = right_ - left_;
    const double h = bottom_ - top_;
    if (w == 0 || h == 0 || !std::isfinite(w) || !std::isfinite(h)) {
        return QTransform();
    }
    const double sx = image_.width() / w;
    const double sy = image_.height() / h;
    return QTransform(sx, 0, 0, sy, -left_ * sx, -top_ * sy);
}

QPointF PictureBox::toUser(QPointF pixel) const {
    bool invertible = false;
    const QTransform inv = userTransform().inverted(&invertible);
    return invertible ? inv.map(pixel) : pixel;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The image carries the device pixel ratio: drawn at the widget's logical size, one image
    // pixel per device pixel.
    p.drawImage(QPointF(0, 0), image_);
}

QSize PictureBox::imageSizeFor(QSize logical, qreal ratio) {
    const QSize device(static_cast<int>(std::lround(logical.width() * ratio)),
                       static_cast<int>(std::lround(logical.height() * ratio)));
    return device.expandedTo(QSize(1, 1));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const QSize size = imageSizeFor(event->size(), ratio);
    if (size != image_.size() || ratio != image_.devicePixelRatio()) {
        // Until the owner redraws (it does so on resized()), what was drawn is stretched to fit.
        QImage next = image_.isNull()
                          ? QImage()
                          : image_.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (next.isNull() || next.format() != QImage::Format_RGB32) {
            next = QImage(size, QImage::Format_RGB32);
            next.fill(backColor());
        }
        next.setDevicePixelRatio(ratio);
        image_ = std::move(next);
        emit resized();
    }
    QWidget::resizeEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (!mouseDown_) {
        return;
    }
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        break;
    }
    const auto mods = event->modifiers();
    const int shift = (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
                      (mods & Qt::AltModifier ? 4 : 0);
    // Mouse positions are logical; the user coordinates are set on the image's device pixels.
    const QPointF user = toUser(event->position() * image_.devicePixelRatio());
    if (drag_ && !press_.held && ((button == 1 && (shift & 1) != 0) || button == 4)) {
        press_ =
            HeldPress{true, false, event->button(), event->position(), 0.0, button, shift, user};
        return;
    }
    mouseDown_(button, shift, user.x(), user.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (!press_.held) {
        return;
    }
    const double ratio = image_.devicePixelRatio();
    const double col = event->position().x() * ratio;
    if (!press_.dragging) {
        if ((event->position() - press_.at).manhattanLength() <
            QGuiApplication::styleHints()->startDragDistance()) {
            return;
        }
        press_.dragging = true;
        press_.lastCol = press_.at.x() * ratio;
    }
    const double dcol = col - press_.lastCol;
    press_.lastCol = col;
    if (dcol != 0.0 && drag_) {
        drag_(dcol);
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!press_.held || event->button() != press_.qtButton) {
        return;
    }
    const HeldPress p = press_;
    press_ = HeldPress{};
    if (!p.dragging && mouseDown_) {
        mouseDown_(p.button, p.shift, p.user.x(), p.user.y());
    }
}

void PictureBox::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (!wheel_ || steps == 0.0) {
        event->ignore();
        return;
    }
    event->accept();
    wheel_(event->position().x() * image_.devicePixelRatio(), steps);
}

} // namespace zr

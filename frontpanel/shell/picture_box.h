// The graph's drawing surface: a widget that shows a retained image.
//
// Drawing goes into the image (never straight to the screen); the widget
// repaints from it. The image follows the widget's size in device pixels (the
// widget's size times the device pixel ratio, which the image carries), so a
// high-density screen gets a sharp picture. On a resize the image is re-made
// at the new size (what was drawn is stretched to fit until the owner
// redraws) and resized() is raised. A user coordinate system,
// set by its top-left and bottom-right corners as with a classic Scale
// method, maps drawing coordinates and mouse positions.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QTransform>
#include <QWidget>

#include <functional>

namespace zr {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt;
    // x, y in user coordinates.
    using MouseDown = std::function<void(int button, int shift, double x, double y)>;

    explicit PictureBox(QWidget* parent = nullptr);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    void setMouseDown(MouseDown handler) { mouseDown_ = std::move(handler); }

    // User coordinate system: (left, top) is the top-left corner of the
    // image, (right, bottom) the bottom-right corner. Transforms work in
    // image (device) pixels; mouse positions are converted before toUser.
    void setScale(double left, double top, double right, double bottom);
    QTransform userTransform() const; // user coordinates -> image pixels
    QPointF toUser(QPointF pixel) const;

    // Image size for a widget of `logical` size at device pixel ratio `ratio`.
    static QSize imageSizeFor(QSize logical, qreal ratio);

    QColor backColor() const;
    QColor foreColor() const;

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
    MouseDown mouseDown_;
    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
};

} // namespace zr

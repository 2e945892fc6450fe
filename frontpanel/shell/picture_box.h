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
//
// A press of the left button with Shift, or of the middle button, becomes a drag once the mouse
// moves by the drag distance: it reports the columns moved and no press. Released before that,
// it is reported as a press (at release, with the press's position). Other presses are reported
// at once. The wheel reports its notches and the column under the mouse.
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
    // col: image pixel column under the mouse; steps: wheel notches, positive away from the user.
    using Wheel = std::function<void(double col, double steps)>;
    // dcol: image pixel columns the drag moved since it last reported, positive to the right.
    using Drag = std::function<void(double dcol)>;

    explicit PictureBox(QWidget* parent = nullptr);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    void setMouseDown(MouseDown handler) { mouseDown_ = std::move(handler); }
    void setWheel(Wheel handler) { wheel_ = std::move(handler); }
    void setDrag(Drag handler) { drag_ = std::move(handler); }

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
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage image_;
    MouseDown mouseDown_;
    Wheel wheel_;
    Drag drag_;
    // A press that may become a drag.
    struct HeldPress {
        bool held = false;
        bool dragging = false;
        Qt::MouseButton qtButton = Qt::NoButton;
        QPointF at;         // logical position of the press
        double lastCol = 0; // image column last reported by the drag
        int button = 0;
        int shift = 0;
        QPointF user; // the press in user coordinates
    } press_;
    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
};

} // namespace zr

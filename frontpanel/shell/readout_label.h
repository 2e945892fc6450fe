// A read-out line under the graph. However long its text, it never asks the
// window for more width: a text wider than the line is shown cut short with
// an ellipsis, and the whole text stays in text() (Copy Caption reads it) and
// in the tooltip.
#pragma once

#include <QLabel>

namespace zr {

class ReadoutLabel : public QLabel {
public:
    explicit ReadoutLabel(const QString& text, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zr

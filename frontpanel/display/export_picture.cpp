#include "export_picture.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>

namespace zr {

QImage pictureWithReadouts(const QImage& graph, std::span<const std::string> lines,
                           const QFont& font, QRgb background, QRgb text) {
    const qreal ratio = graph.devicePixelRatio() > 0 ? graph.devicePixelRatio() : 1.0;
    const QFontMetricsF fm(font);
    const qreal margin = 4.0; // logical pixels left of and around the text
    qreal widest = 0.0;
    for (const std::string& line : lines) {
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(line)));
    }
    const qreal textHeight = fm.lineSpacing() * static_cast<qreal>(lines.size()) + 2 * margin;
    const int width =
        std::max(graph.width(), static_cast<int>(std::ceil((widest + 2 * margin) * ratio)));
    const int height = graph.height() + static_cast<int>(std::ceil(textHeight * ratio));

    QImage out(width, height, QImage::Format_RGB32);
    out.setDevicePixelRatio(ratio);
    out.fill(background);
    QPainter p(&out);
    p.drawImage(QPointF(0, 0), graph);
    p.setFont(font);
    p.setPen(QColor::fromRgb(text));
    qreal baseline = graph.height() / ratio + margin + fm.ascent();
    for (const std::string& line : lines) {
        p.drawText(QPointF(margin, baseline), QString::fromStdString(line));
        baseline += fm.lineSpacing();
    }
    p.end();
    return out;
}

} // namespace zr

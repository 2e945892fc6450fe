// The graph as a picture file shows it: the picture as drawn, with the
// read-out lines written under it.
#pragma once

#include <QFont>
#include <QImage>
#include <QRgb>

#include <span>
#include <string>

namespace zr {

// The graph picture (at its own device pixel ratio, which the result keeps)
// with one text line per entry of `lines` under it, empty ones included so
// each line keeps its place, in `font` and `text` colour on `background`. The
// result is as wide as the graph, or wider when a line needs it, so no line
// is cut. Needs a QGuiApplication (fonts).
QImage pictureWithReadouts(const QImage& graph, std::span<const std::string> lines,
                           const QFont& font, QRgb background, QRgb text);

} // namespace zr

// Building blocks of the settings panels: lists, text fields and the
// two-column rows every panel is laid out in. Each subsystem builds its own
// panel with these.
#pragma once

#include <QStringList>

#include <span>
#include <string_view>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace zr {

// A drop-down list with its entries and no selection; the preset selects.
QComboBox* makeList(const QStringList& items);
QComboBox* makeList(std::span<const std::string_view> items);

// A caption.
QLabel* makeLabel(std::string_view text);

// A text field with its first text.
QLineEdit* makeText(const QString& text);

// A panel with a two-column grid: label left, control right.
struct Rows {
    QGridLayout* grid;
    int row = 0;
    // A row of a caption and its control; without a caption the control spans both columns.
    void add(QWidget* label, QWidget* control);
    // A control across both columns.
    void span(QWidget* control);
    // Rows end here; spare height goes below them.
    void finish();
};
Rows rowsOf(QWidget* panel);

} // namespace zr

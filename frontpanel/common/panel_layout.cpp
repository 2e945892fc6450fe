#include "common/panel_layout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace zr {

QComboBox* makeList(const QStringList& items) {
    auto* list = new QComboBox;
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
    return list;
}

QComboBox* makeList(std::span<const std::string_view> items) {
    QStringList texts;
    for (std::string_view item : items) {
        texts << QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
    }
    return makeList(texts);
}

QLabel* makeLabel(std::string_view text) {
    return new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QLineEdit* makeText(const QString& text) {
    auto* field = new QLineEdit(text);
    field->setMinimumWidth(60);
    return field;
}

void Rows::add(QWidget* label, QWidget* control) {
    if (label) {
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
    } else {
        grid->addWidget(control, row, 0, 1, 2);
    }
    ++row;
}

void Rows::span(QWidget* control) {
    grid->addWidget(control, row++, 0, 1, 2);
}

void Rows::finish() {
    grid->setRowStretch(row, 1);
}

Rows rowsOf(QWidget* panel) {
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    return Rows{grid};
}

} // namespace zr

#include "common/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace zr {

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& answer) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, answer, &ok);
    return ok ? text : QString();
}

QString withBreakOpportunities(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 4);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == QLatin1Char(',') && i + 1 < text.size() && !text[i + 1].isSpace()) {
            out += QChar(0x200B); // zero-width space: a line may end here
        }
    }
    return out;
}

std::unique_ptr<QMessageBox> messageBox(QWidget* parent, const QString& text,
                                        const QString& title) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, title,
                                             withBreakOpportunities(text), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtDialogs::message(const QString& text, const QString& title) {
    messageBox(parent_, text, title)->exec();
}

bool QtDialogs::question(const QString& text, const QString& title) {
    return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString QtDialogs::saveFileName(const QString& title, const QString& suggested,
                                const QString& filter) {
    QFileDialog dialog(parent_, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

} // namespace zr

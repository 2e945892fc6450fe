#include "shell/command_line.h"

namespace zr {

QString commandLineText(const QStringList& argumentsWithProgram) {
    return argumentsWithProgram.mid(1).join(QLatin1Char(' '));
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

std::optional<QString> descriptorSwitch(const QString& commandLine) {
    static const QString kSwitch = QStringLiteral("/a\"");
    const qsizetype at = commandLine.indexOf(kSwitch, 0, Qt::CaseSensitive);
    if (at < 0) {
        return std::nullopt;
    }
    QString rest = trimBlanks(commandLine.mid(at + kSwitch.size()));
    const qsizetype quote = rest.indexOf(QLatin1Char('"'));
    if (quote >= 0) {
        rest.truncate(quote);
    }
    return trimBlanks(rest);
}

bool diagnosticsSwitch(const QString& commandLine) {
    return commandLine.contains(QStringLiteral("/d"), Qt::CaseSensitive);
}

bool selectsSimulation(const QString& descriptor) {
    return descriptor.toLower().contains(QStringLiteral("sim"));
}

} // namespace zr

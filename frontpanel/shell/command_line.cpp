#include "shell/command_line.h"

namespace zr {

QString usageLine() {
    return QStringLiteral(
        "usage: zrq7010 [/a\"descriptor\"] [/d] [--snapshot FILE.png] [--csv FILE.csv] "
        "[--blocks N] [--help]");
}

ProgramOptions programOptions(const QStringList& argumentsWithProgram) {
    ProgramOptions options;
    const QStringList& args = argumentsWithProgram;
    if (!args.isEmpty()) {
        options.rest << args.front();
    }
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasNext = i + 1 < args.size();
        if (arg == QLatin1String("--help")) {
            options.help = true;
        } else if (arg == QLatin1String("--snapshot") || arg == QLatin1String("--csv")) {
            if (!hasNext || args[i + 1].isEmpty() || args[i + 1].startsWith(QLatin1String("--"))) {
                options.error = arg + QStringLiteral(" needs a file name");
                continue;
            }
            (arg == QLatin1String("--csv") ? options.csv : options.snapshot) = args[++i];
        } else if (arg == QLatin1String("--blocks")) {
            bool ok = false;
            const long n = hasNext ? args[i + 1].toLong(&ok) : 0;
            if (!ok || n < 1 || args[i + 1].trimmed() != args[i + 1]) {
                options.error = QStringLiteral("--blocks needs a whole number of at least 1");
                continue;
            }
            options.blocks = n;
            ++i;
        } else {
            options.rest << arg;
        }
    }
    return options;
}

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

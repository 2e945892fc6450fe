// The command line: arguments (separated by byte 0) of any bytes. The
// program's own options and the rest together are the arguments, the
// descriptor switch's text is trimmed and quote-free, and /d is found exactly
// when it occurs.
#include "fuzz_input.h"
#include "shell/command_line.h"

#include <QString>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList args{QStringLiteral("zrq7010")};
    QString current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args << current;
            current.clear();
        } else {
            current += QChar(static_cast<char16_t>(data[i])); // one character per byte
        }
    }
    args << current;

    const zr::ProgramOptions options = zr::programOptions(args);
    ZRFUZZ_CHECK(options.rest.size() <= args.size());
    ZRFUZZ_CHECK(!options.rest.isEmpty() && options.rest.front() == args.front());
    ZRFUZZ_CHECK(options.blocks >= 1);
    if (options.snapshot) {
        ZRFUZZ_CHECK(!options.snapshot->isEmpty());
        ZRFUZZ_CHECK(!options.snapshot->startsWith(QStringLiteral("--")));
    }
    const QString text = zr::commandLineText(options.rest);
    const std::optional<QString> descriptor = zr::descriptorSwitch(text);
    ZRFUZZ_CHECK(descriptor.has_value() == text.contains(QStringLiteral("/a\"")));
    if (descriptor) {
        ZRFUZZ_CHECK(!descriptor->contains(QLatin1Char('"')));
        ZRFUZZ_CHECK(zr::trimBlanks(*descriptor) == *descriptor);
        ZRFUZZ_CHECK(text.contains(*descriptor));
        // The bytes survive the round trip to the driver's 8-bit text.
        ZRFUZZ_CHECK(QString::fromLatin1(descriptor->toLatin1()) == *descriptor);
        (void)zr::selectsSimulation(*descriptor);
    }
    ZRFUZZ_CHECK(zr::diagnosticsSwitch(text) == text.contains(QStringLiteral("/d")));
    return 0;
}

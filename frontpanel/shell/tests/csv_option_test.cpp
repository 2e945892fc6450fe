// --csv FILE among the program's own options, with or without --snapshot.
#include "shell/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, CsvOption) {
    struct Case {
        QStringList args;
        const char* error; // nullptr: accepted
        const char* csv;
        const char* snapshot;
    };
    const Case cases[] = {
        {{"/a\"sim\"", "--csv", "t.csv"}, nullptr, "t.csv", nullptr},
        {{"--snapshot", "p.png", "--csv", "t.csv", "--blocks", "2"}, nullptr, "t.csv", "p.png"},
        {{"--csv"}, "--csv needs a file name", nullptr, nullptr},
        {{"--csv", "--blocks", "2"}, "--csv needs a file name", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const zr::ProgramOptions o = zr::programOptions(QStringList{"zrq7010"} + c.args);
        EXPECT_EQ(o.error, c.error ? QString(c.error) : QString());
        EXPECT_EQ(o.csv, c.csv ? std::optional<QString>(c.csv) : std::nullopt);
        EXPECT_EQ(o.snapshot, c.snapshot ? std::optional<QString>(c.snapshot) : std::nullopt);
    }
    EXPECT_TRUE(zr::usageLine().contains("[--csv FILE.csv]"));
}

#include "shell/command_line.h"

#include <gtest/gtest.h>

using zr::descriptorSwitch;

TEST(CommandLine, TextIsTheArgumentsAfterTheProgramJoinedWithBlanks) {
    EXPECT_EQ(zr::commandLineText({"zrq7010", "--snapshot", "out.png", "/a\"x y\""}),
              "--snapshot out.png /a\"x y\"");
    EXPECT_EQ(zr::trimBlanks("\t x  b "), "\t x  b"); // blanks only, like a classic Trim
}

TEST(CommandLine, DescriptorSwitchTakesTheTrimmedQuotedText) {
    EXPECT_EQ(descriptorSwitch("--snapshot f.png /a\"  VXI::7 \" --blocks 3"), QString("VXI::7"));
    EXPECT_EQ(descriptorSwitch("/a\"one\" /a\"two\""), QString("one")); // only the first counts
    // Without a closing quote the rest of the line is the descriptor.
    EXPECT_EQ(descriptorSwitch("/a\"  VXI::3 /d  "), QString("VXI::3 /d"));
    EXPECT_EQ(descriptorSwitch("/a\"" + QString(10000, QChar('x')))->size(), 10000);
    // Case-sensitive, and the quote belongs to the switch.
    EXPECT_FALSE(descriptorSwitch("/A\"VXI::192\""));
}

TEST(CommandLine, DiagnosticsAndSimulationSwitches) {
    EXPECT_TRUE(zr::diagnosticsSwitch("/a\"VXI/d::1\""));
    EXPECT_FALSE(zr::diagnosticsSwitch("/D"));
    EXPECT_TRUE(zr::selectsSimulation("VXI::SiMulated"));
    EXPECT_FALSE(zr::selectsSimulation("si m"));
}

// The program's own options are taken out; a malformed one is an error, everything else stays in
// its order for the switch search.
TEST(CommandLine, ProgramOptions) {
    struct Case {
        QStringList args;  // after the program name
        const char* error; // nullptr: accepted
        const char* snapshot;
        long blocks;
        QStringList rest;
    };
    const Case cases[] = {
        {{"/a\"sim\"", "--snapshot", "p.png", "--blocks", "3", "/d"},
         nullptr,
         "p.png",
         3,
         {"/a\"sim\"", "/d"}},
        {{"x", "--blocks", "7"}, nullptr, nullptr, 7, {"x"}},
        {{"/a\"sim\"", "--snapshot"}, "--snapshot", nullptr, 10, {"/a\"sim\""}},
        {{"--snapshot", "--blocks", "2"}, "--snapshot", nullptr, 2, {}},
        {{"--snapshot", ""}, "--snapshot", nullptr, 10, {""}},
        {{"--snapshot", "p.png", "--blocks"}, "--blocks", "p.png", 10, {}},
        {{"--blocks", "0"}, "--blocks", nullptr, 10, {"0"}},
        {{"--blocks", "2x"}, "--blocks", nullptr, 10, {"2x"}},
        {{"--blocks", "-4"}, "--blocks", nullptr, 10, {"-4"}},
        {{"--Snapshot", "-blocks", "a--help"},
         nullptr,
         nullptr,
         10,
         {"--Snapshot", "-blocks", "a--help"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const zr::ProgramOptions o = zr::programOptions(QStringList{"zrq7010"} + c.args);
        EXPECT_FALSE(o.help);
        EXPECT_EQ(o.error.startsWith(c.error ? c.error : "~"), c.error != nullptr)
            << o.error.toStdString();
        EXPECT_EQ(o.error.isEmpty(), c.error == nullptr);
        EXPECT_EQ(o.snapshot.has_value(), c.snapshot != nullptr);
        if (c.snapshot) {
            EXPECT_EQ(*o.snapshot, c.snapshot);
        }
        EXPECT_EQ(o.blocks, c.blocks);
        EXPECT_EQ(o.rest, QStringList{"zrq7010"} + c.rest);
    }
    EXPECT_TRUE(zr::programOptions({"zrq7010", "/a\"sim\"", "--help"}).help);
    EXPECT_FALSE(zr::usageLine().contains('\n'));
}

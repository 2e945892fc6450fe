#include "shell/command_line.h"

#include <gtest/gtest.h>

using zr::commandLineText;
using zr::descriptorSwitch;
using zr::diagnosticsSwitch;
using zr::selectsSimulation;
using zr::trimBlanks;

TEST(CommandLine, TextIsTheArgumentsAfterTheProgramJoinedWithBlanks) {
    EXPECT_EQ(commandLineText({"zrq7010"}), "");
    EXPECT_EQ(commandLineText({"zrq7010", "/a\"VXI::192\"", "/d"}), "/a\"VXI::192\" /d");
    EXPECT_EQ(commandLineText({"zrq7010", "--snapshot", "out.png", "/a\"x y\""}),
              "--snapshot out.png /a\"x y\"");
}

TEST(CommandLine, TrimRemovesOnlyLeadingAndTrailingBlanks) {
    EXPECT_EQ(trimBlanks("  VXI::192  "), "VXI::192");
    EXPECT_EQ(trimBlanks("a  b"), "a  b");
    EXPECT_EQ(trimBlanks("     "), "");
    EXPECT_EQ(trimBlanks(""), "");
    EXPECT_EQ(trimBlanks("\tx\t"), "\tx\t"); // blanks only, like a classic Trim
}

TEST(CommandLine, DescriptorSwitchTakesTheQuotedText) {
    EXPECT_EQ(descriptorSwitch("/a\"VXI::192\""), QString("VXI::192"));
    EXPECT_EQ(descriptorSwitch("/a\"   VXI::5   \""), QString("VXI::5"));
    EXPECT_EQ(descriptorSwitch("--snapshot f.png /a\"VXI::7\" --blocks 3"), QString("VXI::7"));
    EXPECT_EQ(descriptorSwitch("/a\" x\"y\""), QString("x"));
    // Only the first switch counts.
    EXPECT_EQ(descriptorSwitch("/a\"one\" /a\"two\""), QString("one"));
}

TEST(CommandLine, DescriptorSwitchIsCaseSensitiveAndNeedsTheQuote) {
    EXPECT_FALSE(descriptorSwitch("/A\"VXI::192\""));
    EXPECT_FALSE(descriptorSwitch("/a VXI::192"));
    EXPECT_FALSE(descriptorSwitch(""));
    EXPECT_FALSE(descriptorSwitch("/d"));
}

TEST(CommandLine, EmptyQuotesGiveAnEmptyDescriptor) {
    EXPECT_EQ(descriptorSwitch("/a\"\""), QString(""));
    EXPECT_EQ(descriptorSwitch("/a\"    \""), QString(""));
    EXPECT_EQ(descriptorSwitch("/a\""), QString(""));
}

TEST(CommandLine, MissingClosingQuoteTakesTheRestOfTheLine) {
    EXPECT_EQ(descriptorSwitch("/a\"  VXI::3 /d  "), QString("VXI::3 /d"));
    const QString longLine = "/a\"" + QString(10000, QChar('x'));
    const auto d = descriptorSwitch(longLine);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->size(), 10000);
}

TEST(CommandLine, DiagnosticsSwitchAnywhereCaseSensitive) {
    EXPECT_TRUE(diagnosticsSwitch("/d"));
    EXPECT_TRUE(diagnosticsSwitch("/a\"VXI/d::1\""));
    EXPECT_TRUE(diagnosticsSwitch("x/dy"));
    EXPECT_FALSE(diagnosticsSwitch("/D"));
    EXPECT_FALSE(diagnosticsSwitch("/a\"VXI::192\""));
    EXPECT_FALSE(diagnosticsSwitch(""));
}

TEST(CommandLine, SimAnywhereInAnyCaseSelectsSimulation) {
    EXPECT_TRUE(selectsSimulation("sim"));
    EXPECT_TRUE(selectsSimulation("SIM"));
    EXPECT_TRUE(selectsSimulation("VXI::SiMulated"));
    EXPECT_TRUE(selectsSimulation("xxsIm"));
    EXPECT_FALSE(selectsSimulation("si m"));
    EXPECT_FALSE(selectsSimulation("VXI::192"));
    EXPECT_FALSE(selectsSimulation(""));
}

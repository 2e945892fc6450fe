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

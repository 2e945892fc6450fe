#include "diag/diag_reports.h"
#include "diag/program_info.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(DriverText, PartBeforeTheFirstNul) {
    const char buf[8] = {'A', 'B', '\0', 'C', ' ', ' ', ' ', ' '};
    EXPECT_EQ(zr::driverText(buf, sizeof buf), "AB");
    const std::string blanks = zr::blankDriverBuffer();
    EXPECT_EQ(zr::driverText(blanks.data(), blanks.size()), ""); // no NUL: empty
    EXPECT_EQ(zr::driverText(nullptr, 80), "");
}

zr::ErrorQueue queueOf(std::vector<int32_t> answers) {
    std::size_t next = 0;
    return zr::drainErrorQueue([&] { return next < answers.size() ? answers[next++] : 0; });
}

// Queued codes are appended with the leading-blank conversion; a queue that never ends is cut
// after 256 codes with a note.
TEST(SelfTest, QueuedCodesAreAppendedAndAnEndlessQueueIsCut) {
    EXPECT_EQ(zr::selfTestMessage("T", queueOf({})), "T");
    const zr::ErrorQueue q = queueOf({12, -3});
    EXPECT_EQ(q.codes, (std::vector<int32_t>{12, -3}));
    EXPECT_TRUE(q.endReached);
    EXPECT_EQ(zr::selfTestMessage("T", q), "T, 12,-3");

    int calls = 0;
    const zr::ErrorQueue endless = zr::drainErrorQueue([&] {
        ++calls;
        return -7;
    });
    EXPECT_EQ(calls, 256);
    EXPECT_EQ(endless.codes.size(), 256u);
    EXPECT_FALSE(endless.endReached);
    const std::string msg = zr::selfTestMessage("T", endless);
    EXPECT_EQ(msg.substr(0, 7), "T,-7,-7");
    EXPECT_NE(msg.find("\nThe error queue did not end after 256 codes; the remaining codes were "
                       "not read."),
              std::string::npos);
}

TEST(CalTable, WeightedSums) {
    std::array<double, 33> c{};
    for (std::size_t i = 9; i <= 27; ++i)
        c[i] = 1.0;
    EXPECT_DOUBLE_EQ(zr::calW2(c), 1.998046875); // 1 + 1/2 + ... + 1/512
    EXPECT_DOUBLE_EQ(zr::calW1(c), 1.99609375);  // 1 + 1/2 + ... + 1/256
    EXPECT_EQ(zr::calTableLines(c)[13], "W2 =    +1.998047");
    c = {};
    c[27] = 1.0;   // highest weight of W1
    c[19] = 256.0; // lowest weight: 256 / 256
    c[18] = 1.0;   // highest weight of W2
    c[9] = 512.0;  // lowest weight: 512 / 512
    EXPECT_DOUBLE_EQ(zr::calW1(c), 2.0);
    EXPECT_DOUBLE_EQ(zr::calW2(c), 2.0);
}

TEST(CalTable, LayoutOfTheLines) {
    std::array<double, 33> c{};
    for (std::size_t i = 0; i < 33; ++i)
        c[i] = static_cast<double>(i) / 8.0;
    c[28] = -0.5;
    const auto lines = zr::calTableLines(c);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "     DAC3        DAC2        DAC1");
    EXPECT_EQ(lines[1], "   +0.000000   +1.125000   +2.375000"); // c0, c9, c19
    EXPECT_EQ(lines[10], "               +2.250000");            // 12 blanks, c18
    EXPECT_EQ(lines[11], "");
    EXPECT_EQ(lines[14], "Gain adjust =    -0.500000");
    EXPECT_EQ(zr::formatCalValue(12.25), "   +12.250000");
    EXPECT_EQ(zr::formatCalValue(-0.0000001), "   -0.000000");
    const std::string text = zr::joinCrLf(lines);
    EXPECT_NE(text.find("+2.250000\r\n\r\nW1 = "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    // A short table reads the missing values as zero.
    const auto shortTable = zr::calTableLines(std::vector<double>(5, 1.0));
    EXPECT_EQ(shortTable[1], "   +1.000000   +0.000000   +0.000000");
    EXPECT_EQ(shortTable[14], "Gain adjust =    +0.000000");
}

TEST(Stamp, PacksDecodesAndRefuses) {
    const zr::StampResult r = zr::packStamp({2001, 3, 3, 9, 5});
    ASSERT_TRUE(r.stamp.has_value());
    EXPECT_EQ(*r.stamp, (2001 << 20) | (3 << 16) | (3 << 11) | (9 << 6) | 5);
    EXPECT_EQ(zr::unpackStamp(*r.stamp).minute, 5);
    EXPECT_EQ(zr::formatStamp(*r.stamp), "03-03-2001,  09:05");
    EXPECT_EQ(zr::formatStamp(0), "00-00-0,  00:00");
    EXPECT_EQ(zr::unpackStamp(-1).year, -1);
    // Years after 2047 and impossible dates are refused with a message.
    const zr::StampResult last = zr::packStamp({2047, 12, 31, 23, 59});
    ASSERT_TRUE(last.stamp.has_value());
    EXPECT_EQ(*last.stamp, 2147286523);
    EXPECT_EQ(zr::formatStamp(*last.stamp), "12-31-2047,  23:59");
    EXPECT_EQ(zr::packStamp({2048, 1, 1, 0, 0}).message,
              "The power-on settings cannot be stamped with a date after the year 2047; nothing "
              "was saved.");
    for (const zr::StampDate& d :
         {zr::StampDate{2001, 13, 1, 0, 0}, zr::StampDate{2001, 1, 1, 0, 60}}) {
        const zr::StampResult refused = zr::packStamp(d);
        EXPECT_FALSE(refused.stamp.has_value());
        EXPECT_EQ(refused.message, "The current date and time cannot be stored in the calibration "
                                   "stamp; nothing was saved.");
    }
}

TEST(About, LinesFromTheGivenInputs) {
    zr::AboutInfo info;
    info.productName = "ZRQ7010 Front Panel";
    info.major = 1;
    info.minor = 2;
    info.revision = 30;
    info.legalNotice = "Copyright notice";
    info.libraryRevision = "L 1.0";
    info.firmwareRevision = "F 2.1";
    info.memoryMegabytes = 64;
    info.calibrationStamp = *zr::packStamp({2001, 3, 3, 9, 5}).stamp;
    const std::vector<std::string> expected = {"ZRQ7010 Front Panel, Version 1.2.30",
                                               "Copyright notice",
                                               "",
                                               std::string(40, '_'),
                                               "",
                                               "System Information:",
                                               "   Library revision: L 1.0",
                                               "   Firmware/Board revision: F 2.1",
                                               "   Memory Size:  64MByte",
                                               "   Last calibrated: 03-03-2001,  09:05"};
    EXPECT_EQ(zr::aboutLines(info), expected);
}

} // namespace

// The guide next to the program (the build tree) wins; else the installed
// layout's share/zrq7010 beside bin/; with neither, the path next to the
// program is named.
TEST(UserGuide, BesideTheProgramElseInTheInstalledDataFolder) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("zrq7010-guide-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "bin");
    const fs::path beside = root / "bin" / zr::kUserGuideFile;
    EXPECT_EQ(zr::userGuidePath(root / "bin"), beside);

    fs::create_directories(root / "share" / "zrq7010");
    const fs::path installed = root / "share" / "zrq7010" / zr::kUserGuideFile;
    std::ofstream(installed) << "guide";
    EXPECT_EQ(zr::userGuidePath(root / "bin"), installed);

    std::ofstream(beside) << "guide";
    EXPECT_EQ(zr::userGuidePath(root / "bin"), beside);
    fs::remove_all(root);
}

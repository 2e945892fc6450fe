// End to end: the real program, offscreen, opened on the stand-in driver from
// the command line. The preset that start-up runs must reach the driver as
// exactly the expected calls, in order, right after the start-up register
// write.
#include "settings/tests/preset_traffic.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

std::vector<std::string> journalLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    std::vector<std::string> out;
    for (const QString& l : QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
        out.push_back(l.trimmed().toStdString());
    }
    return out;
}

TEST(PresetEndToEnd, StartUpPresetReachesTheDriverInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString journal = dir.filePath("journal.txt");
    QProcess program;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZRQ7010_DRIVER", ZR_DRIVER_PATH);
    env.insert("ZRQ7010_JOURNAL", journal);
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(ZR_PROGRAM_PATH, {"/a\"VXI::192\""});
    ASSERT_TRUE(program.waitForStarted(10000));

    // The stand-in driver hands out 4097 for the first session.
    const std::vector<std::string> expected = zr::test::expectedPresetTraffic(4097);
    const std::string startWrite = "zrq7010_diag_reg 4097 1 1812";
    std::vector<std::string> section;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000 && program.state() != QProcess::NotRunning) {
        const std::vector<std::string> lines = journalLines(journal);
        section.clear();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == startWrite) {
                for (std::size_t k = i + 1; k < lines.size() && section.size() < expected.size();
                     ++k) {
                    section.push_back(lines[k]);
                }
                break;
            }
        }
        if (section.size() == expected.size()) {
            break;
        }
        QThread::msleep(50);
    }
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(section, expected);
    const std::vector<std::string> all = journalLines(journal);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), "zrq7010_init VXI::192 1 1");
    EXPECT_EQ(all.back(), "zrq7010_close 4097");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

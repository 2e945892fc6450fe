// End to end: the real program, offscreen, against the stand-in driver, stopped by a signal.
#include "settings/tests/preset_traffic.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QStringList journalLines(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts)
               : QStringList();
}

// The session named on the command line is opened, preset (the calls right after the start-up
// register write) and closed on SIGTERM; simulated mode uses handle 0 and ends on SIGINT.
TEST(EndToEnd, StartUpPresetAndShutDownReachTheDriver) {
    QStringList expected;
    for (const std::string& line : zr::test::expectedPresetTraffic(4097)) {
        expected << QString::fromStdString(line);
    }
    for (const bool simulated : {false, true}) {
        SCOPED_TRACE(simulated ? "simulated" : "session");
        QTemporaryDir dir;
        const QString journal = dir.filePath("journal.txt");
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZRQ7010_DRIVER", ZR_DRIVER_PATH);
        env.insert("ZRQ7010_JOURNAL", journal);
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(ZR_PROGRAM_PATH,
                      simulated ? QStringList{"/a\"Sim\"", "/d"} : QStringList{"/a\"VXI::192\""});
        ASSERT_TRUE(program.waitForStarted(10000));
        const QString startWrite = QString("zrq7010_diag_reg %1 1 1812").arg(simulated ? 0 : 4097);
        const auto preset = [&](const QStringList& lines) {
            const auto at = lines.indexOf(startWrite);
            return at < 0 ? QStringList() : lines.mid(at + 1, simulated ? 0 : expected.size());
        };
        const auto started = [&] {
            const QStringList l = journalLines(journal);
            return l.contains(startWrite) && (simulated || preset(l) == expected);
        };
        QElapsedTimer t;
        t.start();
        while (!started() && t.elapsed() < 30000 && program.state() != QProcess::NotRunning) {
            QThread::msleep(50);
        }
        EXPECT_TRUE(started()) << preset(journalLines(journal)).join('\n').toStdString();
        ::kill(static_cast<pid_t>(program.processId()), simulated ? SIGINT : SIGTERM);
        if (!program.waitForFinished(20000)) {
            program.kill();
            program.waitForFinished(5000);
            FAIL() << "the program did not end on the signal";
        }
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QStringList lines = journalLines(journal);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.front(), simulated ? startWrite : "zrq7010_init VXI::192 1 1");
        EXPECT_EQ(lines.filter(QRegularExpression("^zrq7010_init")).size(), simulated ? 0 : 1);
        EXPECT_EQ(lines.last(), simulated ? "zrq7010_close 0" : "zrq7010_close 4097");
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

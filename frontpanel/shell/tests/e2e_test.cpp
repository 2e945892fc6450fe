// End to end: the real zrq7010 program, offscreen, against the stand-in
// driver library, stopped by a signal like a session manager would.
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
#include <functional>

namespace {

struct ProgramRun {
    QTemporaryDir dir;
    QString journal;
    QProcess program;

    void start(const QStringList& args) {
        ASSERT_TRUE(dir.isValid());
        journal = dir.filePath("journal.txt");
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZRQ7010_DRIVER", ZR_DRIVER_PATH);
        env.insert("ZRQ7010_JOURNAL", journal);
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(ZR_PROGRAM_PATH, args);
        ASSERT_TRUE(program.waitForStarted(10000));
    }
    QStringList lines() const {
        QFile f(journal);
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // Waits until the journal satisfies `done`; false after 30 s or when the program ended.
    bool waitFor(const std::function<bool(const QStringList&)>& done) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000 && program.state() != QProcess::NotRunning) {
            if (done(lines())) {
                return true;
            }
            QThread::msleep(50);
        }
        return done(lines());
    }
    // Sends the signal and expects the program to end normally with status 0.
    void stop(int sig) {
        ::kill(static_cast<pid_t>(program.processId()), sig);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }
    ~ProgramRun() {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }
};

// The session the command line names is opened, preset (the preset's calls follow the start-up
// register write, exactly and in order) and closed on SIGTERM; simulated mode still talks to the
// driver with handle 0 and ends on SIGINT. The stand-in driver hands out 4097 for the first
// session.
TEST(EndToEnd, StartUpPresetAndShutDownReachTheDriver) {
    for (const bool simulated : {false, true}) {
        SCOPED_TRACE(simulated ? "simulated" : "session");
        ProgramRun run;
        run.start(simulated ? QStringList{"/a\"Sim\"", "/d"} : QStringList{"/a\"VXI::192\""});
        const QString startWrite = QString("zrq7010_diag_reg %1 1 1812").arg(simulated ? 0 : 4097);
        QStringList expected;
        for (const std::string& line : zr::test::expectedPresetTraffic(4097)) {
            expected << QString::fromStdString(line);
        }
        const auto preset = [&](const QStringList& lines) {
            const auto at = lines.indexOf(startWrite);
            return at < 0 ? QStringList() : lines.mid(at + 1, simulated ? 0 : expected.size());
        };
        ASSERT_TRUE(run.waitFor([&](const QStringList& l) {
            return l.contains(startWrite) && (simulated || preset(l) == expected);
        })) << preset(run.lines()).join('\n').toStdString();
        run.stop(simulated ? SIGINT : SIGTERM);
        const QStringList lines = run.lines();
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

// End to end: the real zrq7010 program, offscreen, against the stand-in
// driver library, stopped by a signal like a session manager would.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

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
    // Waits until a journal line matches; false after 20 s.
    bool waitFor(const QRegularExpression& re) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            for (const auto& l : lines()) {
                if (re.match(l).hasMatch()) {
                    return true;
                }
            }
            if (program.state() == QProcess::NotRunning) {
                return false;
            }
            QThread::msleep(50);
        }
        return false;
    }
    void signal(int sig) { ::kill(static_cast<pid_t>(program.processId()), sig); }
    ~ProgramRun() {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }
};

TEST(EndToEnd, OpensTheSessionFromTheCommandLineAndClosesItOnSigterm) {
    ProgramRun run;
    run.start({"/a\"VXI::192\""});
    ASSERT_TRUE(run.waitFor(QRegularExpression("^zrq7010_init VXI::192 1 1$")));
    ASSERT_TRUE(run.waitFor(QRegularExpression("^zrq7010_diag_reg -?\\d+ 1 1812$")));
    run.signal(SIGTERM);
    ASSERT_TRUE(run.program.waitForFinished(20000));
    EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.program.exitCode(), 0);
    const QStringList lines = run.lines();
    ASSERT_FALSE(lines.isEmpty());
    // The handle the open gave is the one closed, and closing is the last call.
    const auto init = lines.indexOf(QRegularExpression("^zrq7010_diag_reg -?\\d+ 1 1812$"));
    ASSERT_GE(init, 0);
    const QString handle = lines[init].split(' ')[1];
    EXPECT_EQ(lines.last(), "zrq7010_close " + handle);
}

TEST(EndToEnd, SimulatedModeStillTalksToTheDriverWithHandleZeroAndEndsOnSigint) {
    ProgramRun run;
    run.start({"/a\"Sim\"", "/d"});
    ASSERT_TRUE(run.waitFor(QRegularExpression("^zrq7010_diag_reg 0 1 1812$")));
    run.signal(SIGINT);
    ASSERT_TRUE(run.program.waitForFinished(20000));
    EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.program.exitCode(), 0);
    const QStringList lines = run.lines();
    EXPECT_FALSE(lines.filter(QRegularExpression("^zrq7010_init")).size() > 0);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), "zrq7010_close 0");
}

// The snapshot options are not part of the command-line text that start-up
// searches: the descriptor between the quotes is still found (and trimmed),
// and the run ends by itself after its passes with the picture written.
TEST(EndToEnd, SnapshotOptionsDoNotDisturbStartUp) {
    ProgramRun run;
    const QString picture = run.dir.filePath("x.png");
    run.start({"--blocks", "3", "/a\" VXI::192 \"", "--snapshot", picture});
    ASSERT_TRUE(run.program.waitForFinished(60000));
    EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.program.exitCode(), 0);
    EXPECT_EQ(run.lines().filter(QRegularExpression("^zrq7010_init VXI::192 1 1$")).size(), 1);
    EXPECT_GT(QFileInfo(picture).size(), 0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

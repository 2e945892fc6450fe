// End to end: the real program, offscreen, against the stand-in driver: stopped by a signal,
// with damaged libraries, with malformed options of its own and with descriptor bytes outside
// the locale.
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

QStringList journalLines(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts)
               : QStringList();
}

// One run of the program with the stand-in driver and its journal.
struct ProgramRun {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess program;
    int exitCode = -1;
    bool crashed = false;
    QString out, err;

    ProgramRun() {
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZRQ7010_DRIVER", ZR_DRIVER_PATH);
        env.insert("ZRQ7010_JOURNAL", journal());
        env.remove("ZRDSP_LIBRARY");
    }
    QString journal() const { return dir.filePath("journal.txt"); }
    QStringList lines() const { return journalLines(journal()); }
    void start(const QString& file, const QStringList& args) {
        program.setProcessEnvironment(env);
        program.start(file, args);
    }
    // Waits for the end (killing the program after `seconds`); false on a timeout.
    bool finish(int seconds = 60) {
        const bool ended =
            program.state() == QProcess::NotRunning || program.waitForFinished(seconds * 1000);
        if (!ended) {
            program.kill();
            program.waitForFinished(5000);
        }
        exitCode = program.exitCode();
        crashed = program.exitStatus() == QProcess::CrashExit;
        out = QString::fromLocal8Bit(program.readAllStandardOutput());
        err = QString::fromLocal8Bit(program.readAllStandardError());
        return ended;
    }
    bool run(const QStringList& args, int seconds = 60) {
        start(ZR_PROGRAM_PATH, args);
        return finish(seconds);
    }
};

const QString kTrap =
    "DLL not found. Double-click readme icon in zrq7010 group for possible causes.";

// A truncated copy of a library (each library's refusal is in library_file_check_test.cpp) ends
// the program with a message, never a bus error: the trap's text once a session was asked for
// (the session already open is closed), an orderly stop naming the file in simulated mode.
TEST(EndToEnd, TruncatedLibrariesEndWithAMessage) {
    for (const bool simulated : {false, true}) {
        SCOPED_TRACE(simulated ? "driver, simulated" : "signal processing, session");
        ProgramRun r;
        QFile library(simulated ? ZR_DRIVER_PATH : ZR_DSP_PATH);
        QFile cut(r.dir.filePath("truncated.so"));
        ASSERT_TRUE(library.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
        ASSERT_EQ(cut.write(library.read(4096)), 4096);
        cut.close();
        const QString copy = cut.fileName();
        r.env.insert(simulated ? "ZRQ7010_DRIVER" : "ZRDSP_LIBRARY", copy);
        ASSERT_TRUE(r.run(
            {simulated ? "/a\"sim\"" : "/a\"VXI::192\"", "--snapshot", r.dir.filePath("x.png")}));
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        if (simulated) {
            EXPECT_TRUE(r.err.contains(copy) && r.err.contains("truncated")) << r.err.toStdString();
        } else {
            EXPECT_TRUE(r.err.contains(kTrap)) << r.err.toStdString();
            ASSERT_FALSE(r.lines().isEmpty());
            EXPECT_EQ(r.lines().last(), "zrq7010_close 4097");
        }
        EXPECT_FALSE(QFile::exists(r.dir.filePath("x.png")));
    }
}

// The program's own options (parsed in command_line_test.cpp): a malformed one prints one usage
// line to standard error and ends with 2 before anything starts; --help prints it and ends with 0.
TEST(EndToEnd, MalformedOptionsPrintTheUsage) {
    ProgramRun bad;
    ASSERT_TRUE(bad.run({"/a\"sim\"", "--blocks", "many"}, 20)) << "the program did not end";
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("usage: zrq7010")) << bad.err.toStdString();
    EXPECT_EQ(bad.err.count('\n'), 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.lines().isEmpty()); // the driver was never called
    ProgramRun r;
    ASSERT_TRUE(r.run({"/a\"sim\"", "--help"}, 20));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("usage: zrq7010")) << r.out.toStdString();
    EXPECT_TRUE(r.lines().isEmpty());
}

// Waits until the journal holds `line` (or the program ends).
bool reached(ProgramRun& r, const QString& line) {
    QElapsedTimer t;
    t.start();
    while (!r.lines().contains(line) && t.elapsed() < 30000 &&
           r.program.state() != QProcess::NotRunning) {
        QThread::msleep(20);
    }
    return r.lines().contains(line);
}

// Every way out closes the session and ends with 0: a hang-up or an interrupt while the loop
// runs, a burst of SIGTERMs during the close, a SIGTERM at the very start (the end of a picture
// run is in DriverFaults). The session named on the command line is opened once; simulated mode
// opens none.
TEST(EndToEnd, EveryWayOutClosesTheSession) {
    const auto ends = [](ProgramRun& r, const char* closeLine) {
        ASSERT_TRUE(r.finish(20)) << "the program did not end";
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QStringList lines = r.lines();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.filter(QRegularExpression("^zrq7010_init")).size(),
                  QString(closeLine).endsWith(" 0") ? 0 : 1);
        EXPECT_EQ(lines.last(), closeLine);
    };
    for (const bool simulated : {false, true}) {
        SCOPED_TRACE(simulated ? "SIGINT, simulated" : "hang-up");
        ProgramRun r;
        r.start(ZR_PROGRAM_PATH, {simulated ? "/a\"Sim\"" : "/a\"VXI::192\""});
        ASSERT_TRUE(reached(r, simulated ? "zrq7010_meas_start 0" : "zrq7010_meas_start 4097"));
        ::kill(static_cast<pid_t>(r.program.processId()), simulated ? SIGINT : SIGHUP);
        ends(r, simulated ? "zrq7010_close 0" : "zrq7010_close 4097");
    }
    {
        SCOPED_TRACE("repeated SIGTERM");
        ProgramRun r;
        r.start(ZR_PROGRAM_PATH, {"/a\"sim\""});
        ASSERT_TRUE(reached(r, "zrq7010_diag_reg 0 1 1812"));
        QElapsedTimer t;
        t.start();
        while (r.program.state() != QProcess::NotRunning && t.elapsed() < 20000) {
            ::kill(static_cast<pid_t>(r.program.processId()), SIGTERM);
            r.program.waitForFinished(2);
        }
        ends(r, "zrq7010_close 0");
    }
    {
        SCOPED_TRACE("SIGTERM at the start");
        ProgramRun r;
        r.start(ZR_PROGRAM_PATH, {"/a\"sim\""});
        ASSERT_TRUE(r.program.waitForStarted(10000));
        // As soon as the program catches the signal at all (before that, the system's default
        // action applies to any program).
        const QString status = QString("/proc/%1/status").arg(r.program.processId());
        QElapsedTimer t;
        t.start();
        for (bool caught = false; !caught && t.elapsed() < 10000;) {
            QFile f(status);
            if (!f.open(QIODevice::ReadOnly)) {
                break;
            }
            const QRegularExpression sigCgt("SigCgt:\\s*([0-9a-f]+)");
            const auto m = sigCgt.match(QString::fromLatin1(f.readAll()));
            caught = m.hasMatch() && (m.captured(1).toULongLong(nullptr, 16) >> (SIGTERM - 1) & 1);
        }
        ::kill(static_cast<pid_t>(r.program.processId()), SIGTERM);
        ends(r, "zrq7010_close 0");
    }
}

// Descriptor bytes outside the locale reach the driver unchanged.
TEST(EndToEnd, DescriptorBytesPassUnchanged) {
    ProgramRun r;
    // The shell makes the argument's bytes; a QString argument would be re-encoded.
    r.start("/bin/sh",
            {"-c", "exec \"$0\" \"$(printf '/a\"\\377\\376\\200abc\"')\" --snapshot \"$1\"",
             ZR_PROGRAM_PATH, r.dir.filePath("x.png")});
    ASSERT_TRUE(r.finish());
    QFile f(r.journal());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("zrq7010_init \xff\xfe\x80"
                                       "abc 1 1\n"));
}

// The program against each fault of the stand-in driver, as a picture run of three passes: the
// read-out lines, the exit status and the driver calls; a picture run ends by closing the
// session. (A handle 0 from a successful open and a missing function are start-up failures,
// checked in startup_test.cpp.)
TEST(EndToEnd, DriverFaults) {
    const auto run = [](ProgramRun& r, const char* fault) {
        r.env.insert("ZRQ7010_FAULT", fault);
        return r.run({"/a\"VXI::192\"", "--snapshot", r.dir.filePath("x.png"), "--blocks", "3"});
    };
    for (const char* fault : {"read-error", "never-ready", "non-finite", "read-oversize"}) {
        SCOPED_TRACE(fault);
        ProgramRun r;
        ASSERT_TRUE(run(r, fault));
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.count('\n'), 5) << r.out.toStdString(); // the read-out lines
        const QStringList lines = r.lines();
        const QStringList reads = lines.filter(QRegularExpression("^zrq7010_read "));
        EXPECT_EQ(reads.size(), 3);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.last(), "zrq7010_close 4097");
        // Not ready: each read is answered by a start; a failed read by nothing.
        const auto afterFirstRead = lines.mid(lines.indexOf(reads.value(0)));
        const auto starts = afterFirstRead.filter(QRegularExpression("^zrq7010_meas_start "));
        EXPECT_EQ(starts.size(), fault == std::string("read-error") ? 0 : 3);
    }
    // A failed open's text of all 80 characters is shown whole, nothing after it; the program
    // ends before the picture.
    ProgramRun r;
    ASSERT_TRUE(run(r, "open-long-text"));
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(r.lines(),
              QStringList({"zrq7010_init VXI::192 1 1", "zrq7010_error_message 0 -1001"}));
    const QString full = "The module did not answer at all" + QString(48, '.');
    EXPECT_TRUE(r.err.contains(full + "\n")) << r.err.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

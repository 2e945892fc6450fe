// End to end: the real program, offscreen, against the stand-in driver: stopped by a signal,
// with damaged libraries, with malformed options of its own and with descriptor bytes outside
// the locale.
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

QString truncatedCopy(const QTemporaryDir& dir, const char* library) {
    QFile in(library);
    QFile out(dir.filePath("truncated.so"));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
        out.write(in.read(4096)) != 4096) {
        return {};
    }
    return out.fileName();
}

const QString kTrap =
    "DLL not found. Double-click readme icon in zrq7010 group for possible causes.";

// A truncated copy of either library is reported like a missing one: the trap's text once a
// session was asked for, an orderly stop naming the file in simulated mode; never a bus error.
// A session already open is closed.
TEST(EndToEnd, TruncatedLibrariesEndWithAMessage) {
    for (const char* variable : {"ZRQ7010_DRIVER", "ZRDSP_LIBRARY"}) {
        for (const bool simulated : {false, true}) {
            SCOPED_TRACE(std::string(variable) + (simulated ? " simulated" : " session"));
            ProgramRun r;
            const QString copy = truncatedCopy(
                r.dir, variable == std::string("ZRDSP_LIBRARY") ? ZR_DSP_PATH : ZR_DRIVER_PATH);
            ASSERT_FALSE(copy.isEmpty());
            r.env.insert(variable, copy);
            ASSERT_TRUE(r.run({simulated ? "/a\"sim\"" : "/a\"VXI::192\"", "--snapshot",
                               r.dir.filePath("x.png")}));
            EXPECT_FALSE(r.crashed);
            EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
            if (simulated) {
                EXPECT_TRUE(r.err.contains(copy) && r.err.contains("truncated"))
                    << r.err.toStdString();
            } else {
                EXPECT_TRUE(r.err.contains(kTrap)) << r.err.toStdString();
            }
            const QStringList lines = r.lines();
            if (variable == std::string("ZRDSP_LIBRARY") && !simulated) {
                ASSERT_FALSE(lines.isEmpty());
                EXPECT_EQ(lines.last(), "zrq7010_close 4097");
            }
            EXPECT_FALSE(QFile::exists(r.dir.filePath("x.png")));
        }
    }
}

// The program's own options: a malformed one prints one usage line to standard error and ends
// with 2 before anything starts; --help prints it and ends with 0.
TEST(EndToEnd, MalformedOptionsPrintTheUsage) {
    const QStringList malformed[] = {
        {"/a\"sim\"", "--snapshot"},
        {"/a\"sim\"", "--snapshot", "--blocks", "3"},
        {"/a\"sim\"", "--snapshot", "x.png", "--blocks", "0"},
        {"/a\"sim\"", "--blocks", "many"},
    };
    for (const QStringList& args : malformed) {
        SCOPED_TRACE(args.join(' ').toStdString());
        ProgramRun r;
        ASSERT_TRUE(r.run(args, 20)) << "the program did not end";
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains("usage: zrq7010")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.lines().isEmpty()); // the driver was never called
    }
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

// Every way out closes the session and ends with 0: a hang-up, a burst of SIGTERMs during the
// close, a SIGTERM at the very start, and the end of a picture run.
TEST(EndToEnd, EveryWayOutClosesTheSession) {
    const auto ends = [](ProgramRun& r, const char* closeLine) {
        ASSERT_TRUE(r.finish(20)) << "the program did not end";
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        ASSERT_FALSE(r.lines().isEmpty());
        EXPECT_EQ(r.lines().last(), closeLine);
    };
    {
        SCOPED_TRACE("hang-up");
        ProgramRun r;
        r.start(ZR_PROGRAM_PATH, {"/a\"VXI::192\""});
        ASSERT_TRUE(reached(r, "zrq7010_diag_reg 4097 1 1812"));
        ::kill(static_cast<pid_t>(r.program.processId()), SIGHUP);
        ends(r, "zrq7010_close 4097");
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
    {
        SCOPED_TRACE("picture run");
        ProgramRun r;
        ASSERT_TRUE(
            r.run({"/a\"VXI::192\"", "--snapshot", r.dir.filePath("x.png"), "--blocks", "2"}));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(QFile::exists(r.dir.filePath("x.png")));
        ASSERT_FALSE(r.lines().isEmpty());
        EXPECT_EQ(r.lines().last(), "zrq7010_close 4097");
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

// The program against each fault of the stand-in driver (and a driver that lacks functions), as a
// picture run of three passes: the message, the exit status and the driver calls.
TEST(EndToEnd, DriverFaults) {
    struct Case {
        const char* fault;   // ZRQ7010_FAULT; nullptr: the partial driver
        const char* message; // on standard error; nullptr: none
        int exitCode;        // 1: ended before the picture
    };
    const Case cases[] = {
        {"open-zero-handle", "opened no session for VXI::192", 1},
        {"open-long-text", "The module did not answer at all", 1},
        {nullptr, "DLL not found. Double-click readme icon", 1},
        {"read-error", nullptr, 0},
        {"never-ready", nullptr, 0},
        {"non-finite", nullptr, 0},
        {"read-oversize", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault ? c.fault : "function missing");
        ProgramRun r;
        if (c.fault) {
            r.env.insert("ZRQ7010_FAULT", c.fault);
        } else {
            r.env.insert("ZRQ7010_DRIVER", ZR_PARTIAL_DRIVER);
        }
        ASSERT_TRUE(
            r.run({"/a\"VXI::192\"", "--snapshot", r.dir.filePath("x.png"), "--blocks", "3"}));
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        if (c.message) {
            EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        } else {
            EXPECT_EQ(r.out.count('\n'), 5) << r.out.toStdString(); // the read-out lines
        }
        const QStringList lines = r.lines();
        const QStringList reads = lines.filter(QRegularExpression("^zrq7010_read "));
        const QString fault = c.fault ? c.fault : "";
        if (fault == "open-zero-handle") {
            // Asked again (no answer without an operator): nothing else reaches the driver.
            EXPECT_EQ(lines, QStringList{"zrq7010_init VXI::192 1 1"});
        } else if (fault == "open-long-text") {
            EXPECT_EQ(lines,
                      QStringList({"zrq7010_init VXI::192 1 1", "zrq7010_error_message 0 -1001"}));
            // All 80 characters and nothing after them.
            const QString full = "The module did not answer at all" + QString(48, '.');
            EXPECT_TRUE(r.err.contains(full + "\n")) << r.err.toStdString();
        } else if (!fault.isEmpty()) {
            EXPECT_EQ(reads.size(), 3);
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.last(), "zrq7010_close 4097");
            // Not ready: each read is answered by a start; a failed read by nothing.
            const auto afterFirstRead = lines.mid(lines.indexOf(reads.value(0)));
            const auto starts = afterFirstRead.filter(QRegularExpression("^zrq7010_meas_start "));
            EXPECT_EQ(starts.size(), fault == "read-error" ? 0 : 3);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

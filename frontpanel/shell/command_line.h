// The command line of the front panel, read as one text.
//
// The program searches the whole command-line text, case-sensitively and
// without tokenising, for two switches: /a followed by a double quote, the
// resource descriptor and a closing double quote; and /d anywhere, which
// shows the Diagnostics item of the Control menu.
//
// On this platform the shell has already split the command line into
// arguments and removed the quotes it interpreted, so the text is rebuilt by
// joining the arguments (without the program name) with single blanks. An
// argument written as '/a"VXI::192"' keeps its quotes and arrives exactly as
// the switch; /a "VXI::192" (with shell quotes) does not (the quotes are gone).
// The program's own options (--snapshot FILE, --csv FILE, --blocks N, --help) are taken
// out first; any other text is simply part of the command line.
//
// The descriptor is 8-bit text handed to the driver unchanged, whatever the
// locale. So the program builds the text with one character per byte of its
// arguments (QString::fromLatin1); the descriptor's bytes come back with
// toLatin1().
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zr {

// The program's own options, taken out of its arguments.
struct ProgramOptions {
    bool help = false;               // --help: print the usage, end with 0
    std::optional<QString> snapshot; // --snapshot FILE
    std::optional<QString> csv;      // --csv FILE
    long blocks = 10;                // --blocks N, a whole number of at least 1
    QString error;                   // a malformed option; the usage goes with it
    QStringList rest;                // everything else, program name first
};

// Reads --help, --snapshot FILE, --csv FILE and --blocks N (each file is the
// next argument, not empty and not starting with "--"; N the next argument, a
// whole number >= 1); anything else is left in `rest` in its order.
ProgramOptions programOptions(const QStringList& argumentsWithProgram);

// The one-line usage message.
QString usageLine();

// Arguments without the program name, joined with single blanks.
QString commandLineText(const QStringList& argumentsWithProgram);

// Leading and trailing blanks (spaces only, like a classic Trim) removed.
QString trimBlanks(const QString& text);

// The descriptor of the /a" switch, or nothing when the switch is absent.
// The text after the three characters is trimmed, cut before its first
// double quote and trimmed again. Without a closing quote the rest of the
// command line (trimmed) is the descriptor.
std::optional<QString> descriptorSwitch(const QString& commandLine);

// True when /d occurs anywhere in the text.
bool diagnosticsSwitch(const QString& commandLine);

// True when the descriptor selects simulated mode ("sim" in any case, anywhere).
bool selectsSimulation(const QString& descriptor);

} // namespace zr

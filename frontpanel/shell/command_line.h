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
// Other options (e.g. --snapshot FILE) are simply part of the text.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zr {

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

#pragma once

#include <QStringList>
#include <optional>

class QTextStream;

namespace app {

// The usage text, with a line end.
QString usage();

// Answers, without a window or a display, the arguments (without the
// program name) that need no window: the usage for --help or -h (exit
// status 0), the version for --version (0), and the usage on err for an
// argument the program does not know (2). None when the arguments leave the
// program to start its windows or to run a command (isCommand).
std::optional<int> answerAtOnce(const QStringList& args, QTextStream& out, QTextStream& err);

// Whether the arguments (without the program name) ask for a command that
// runs without a window.
bool isCommand(const QStringList& args);

// Runs "--import FILE [--format F]" or "--export FILE [--format F]" on the
// user set in programDir. Returns the exit status: 0 on success, 1 when the
// command failed, 2 when the arguments are wrong; what went wrong is written
// to err, the outcome to out.
int runCommand(const QStringList& args, const QString& programDir, QTextStream& out,
               QTextStream& err);

} // namespace app

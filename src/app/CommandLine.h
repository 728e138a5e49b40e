#pragma once

#include <QStringList>
#include <optional>

class QTextStream;

namespace app {

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

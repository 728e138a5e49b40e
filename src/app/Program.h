#pragma once

#include <QString>

namespace platform {
class Services;
}
namespace store {
class BuildProgress;
}

namespace app {

// Readies an installed program's data folder before any table opens (see
// store::prepareUserData), with progress shown while the copy of the bank is
// rebuilt, and tells the user through services what was mended there or why
// the program cannot start. False: the program ends.
bool readyDataFolder(platform::Services& services, const QString& programDir,
                     const QString& dataDir, store::BuildProgress* progress);

// The program entry: the single-instance rule, then the windows and the
// message loop. Returns the process exit code.
int runProgram(int argc, char** argv);

} // namespace app

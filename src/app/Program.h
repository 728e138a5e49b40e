#pragma once

namespace app {

// The program entry: the single-instance rule, then the windows and the
// message loop. Returns the process exit code.
int runProgram(int argc, char** argv);

} // namespace app

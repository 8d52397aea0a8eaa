#pragma once

#include <string>

namespace platform {

// Starts the program named by the first blank-separated word of `commandLine` with the other words as
// its arguments (no quoting, except that the first word may stand in double quotes to hold blanks, as
// the program's folder may), waits without limit for its end and returns its exit code; -1 when it
// cannot be started or does not end normally (killed by a signal).
int RunAndWait(const std::string& commandLine);

}  // namespace platform

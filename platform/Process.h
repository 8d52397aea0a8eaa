#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// Starts the program named by the first blank-separated word of `commandLine` with the other words as
// its arguments (no quoting, except that the first word may stand in double quotes to hold blanks, as
// the program's folder may), waits without limit for its end and returns its exit code; -1 when it
// cannot be started or does not end normally (killed by a signal).
int RunAndWait(const std::string& commandLine);

// Told how many bytes the running program has read so far (from files and pipes alike).
using ReadProgress = std::function<void(std::int64_t bytesRead)>;

// The same, telling `onRead` about every `period` while the program runs (where the system counts a
// process's reads: Linux and Windows).
int RunAndWait(const std::string& commandLine, const ReadProgress& onRead, std::chrono::milliseconds period);

}  // namespace platform

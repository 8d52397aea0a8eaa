#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

// The same, with `standardInput` as the program's standard input when given: a pipe that only this process
// and the program hold, filled before the program starts and then closed, so the program reads exactly
// these bytes and then the end. Secrets travel this way, never on the command line, which every user of
// the machine can read. At most kStandardInputLimit bytes; -1 when more are given.
inline constexpr std::size_t kStandardInputLimit = 4096;
int RunAndWait(const std::string& commandLine, std::optional<std::string_view> standardInput,
               const ReadProgress& onRead, std::chrono::milliseconds period);

}  // namespace platform

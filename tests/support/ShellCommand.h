#pragma once

#include <string>

namespace testsupport {

// The output and exit status of a shell command (POSIX only).
struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};
CommandResult RunCommand(const std::string& command);
// The text quoted for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace testsupport

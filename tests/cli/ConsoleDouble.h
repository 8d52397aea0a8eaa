#pragma once

#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Console.h"

namespace clitest {

// A person at a terminal (or a script feeding standard input) giving these lines, one per read.
class ScriptedInput final : public cli::Input {
 public:
  ScriptedInput(std::vector<std::string> lines, bool terminal)
      : lines_(lines.begin(), lines.end()), terminal_(terminal) {}
  bool IsTerminal() const override { return terminal_; }
  std::optional<std::string> ReadLine(bool hidden) override {
    hiddenReads.push_back(hidden);
    if (lines_.empty()) return std::nullopt;
    std::string line = lines_.front();
    lines_.pop_front();
    return line;
  }
  std::vector<bool> hiddenReads;  // one entry per read: whether it was not echoed

 private:
  std::deque<std::string> lines_;
  bool terminal_;
};

// A console whose output and errors are kept for the test.
struct CapturedConsole {
  explicit CapturedConsole(std::vector<std::string> lines = {}, bool terminal = false)
      : input(std::move(lines), terminal) {}
  ScriptedInput input;
  std::ostringstream out;
  std::ostringstream err;
  cli::Console console{input, out, err};
};

}  // namespace clitest

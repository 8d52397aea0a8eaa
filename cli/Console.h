#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace cli {

// Where a command reads what a person types.
class Input {
 public:
  virtual ~Input() = default;
  // Whether a person can answer questions.
  virtual bool IsTerminal() const = 0;
  // One line without its line end; empty at the end of the input. `hidden`: not echoed (passwords).
  virtual std::optional<std::string> ReadLine(bool hidden) = 0;
};

// The program's standard input.
class StandardInput final : public Input {
 public:
  bool IsTerminal() const override;
  std::optional<std::string> ReadLine(bool hidden) override;
};

// No input at all: nobody answers.
class NoInput final : public Input {
 public:
  bool IsTerminal() const override { return false; }
  std::optional<std::string> ReadLine(bool) override { return std::nullopt; }
};

// What a command talks to.
struct Console {
  Input& in;
  std::ostream& out;
  std::ostream& err;
  bool outIsTerminal = false;  // progress bars are drawn only then
};

}  // namespace cli

#include "cli/Console.h"

#include "platform/Terminal.h"

namespace cli {

bool StandardInput::IsTerminal() const { return platform::StandardInputIsTerminal(); }

std::optional<std::string> StandardInput::ReadLine(bool hidden) {
  return platform::ReadStandardInputLine(hidden);
}

}  // namespace cli

#include "platform/Terminal.h"

#include <iostream>

#include "platform/TerminalEcho.h"

namespace platform {

std::optional<std::string> ReadStandardInputLine(bool hidden) {
  std::optional<EchoOff> echoOff;
  if (hidden) echoOff.emplace();
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace platform

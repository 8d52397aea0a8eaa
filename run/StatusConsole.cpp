#include "run/StatusConsole.h"

#include <cstdio>
#include <string>

namespace run {

void StatusConsole::AppendPlain(std::string_view text) { window_.AppendConsoleLine(std::string(text)); }

void StatusConsole::AppendTimed(std::string_view message) {
  const platform::LocalDateTime now = clock_.Now();
  char time[40];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  window_.AppendConsoleLine(time + std::string(message));
}

}  // namespace run

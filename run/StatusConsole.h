#pragma once

#include <string_view>

#include "platform/Clock.h"
#include "run/RunWindow.h"

namespace run {

// The status console lines of a run, through the run's window.
class StatusConsole {
 public:
  StatusConsole(RunWindow& window, platform::Clock& clock) : window_(window), clock_(clock) {}

  void AppendPlain(std::string_view text);
  // The current local time "hh:mm:ss" (24-hour, whatever the machine's locale), then the message.
  void AppendTimed(std::string_view message);

 private:
  RunWindow& window_;
  platform::Clock& clock_;
};

}  // namespace run

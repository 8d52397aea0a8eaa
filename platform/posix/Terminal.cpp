#include "platform/Terminal.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "platform/TerminalEcho.h"

namespace platform {

struct EchoOff::SavedMode {
  termios mode{};
};

EchoOff::EchoOff() {
  auto saved = std::make_unique<SavedMode>();
  if (tcgetattr(STDIN_FILENO, &saved->mode) != 0) return;
  termios quiet = saved->mode;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  if (tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0) saved_ = std::move(saved);
}

EchoOff::~EchoOff() {
  if (!saved_) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_->mode);
  std::cerr << std::endl;
}

bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace platform

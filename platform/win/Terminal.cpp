#include "platform/Terminal.h"

#include <io.h>

#include <cstdio>
#include <iostream>

#include "platform/TerminalEcho.h"
#include "platform/win/SystemHeaders.h"

namespace platform {

struct EchoOff::SavedMode {
  HANDLE input = nullptr;
  DWORD mode = 0;
};

EchoOff::EchoOff() {
  auto saved = std::make_unique<SavedMode>();
  saved->input = GetStdHandle(STD_INPUT_HANDLE);
  if (!GetConsoleMode(saved->input, &saved->mode)) return;
  if (SetConsoleMode(saved->input, saved->mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT))) {
    saved_ = std::move(saved);
  }
}

EchoOff::~EchoOff() {
  if (!saved_) return;
  SetConsoleMode(saved_->input, saved_->mode);
  std::cerr << std::endl;
}

bool StandardInputIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

}  // namespace platform

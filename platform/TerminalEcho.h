#pragma once

#include <memory>

namespace platform {

// Keeps the terminal on standard input from echoing for as long as it lives; the previous mode comes
// back at its end, with the line end the person typed (not echoed either) written to standard error.
// Does nothing when standard input is no terminal.
class EchoOff {
 public:
  EchoOff();
  ~EchoOff();
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  struct SavedMode;
  std::unique_ptr<SavedMode> saved_;  // empty when echo was not turned off
};

}  // namespace platform

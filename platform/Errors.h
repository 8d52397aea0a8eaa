#pragma once

#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace platform {

// The runtime errors the program shows to the user; their texts are fixed and must not change.

// A text that should hold an integer does not.
class EConvertError final : public Exception {
 public:
  explicit EConvertError(std::string_view text)
      : Exception("'" + std::string(text) + "' is not a valid integer value") {}
};

// The profile writer refused to store an entry in the file at `path`.
class EWriteError final : public Exception {
 public:
  explicit EWriteError(std::string_view path) : Exception("Unable to write to " + std::string(path)) {}
};

// A file could not be opened; `reason` is the system's own description of the failure.
class EFOpenError final : public Exception {
 public:
  EFOpenError(std::string_view path, std::string_view reason)
      : Exception("Cannot open file \"" + std::string(path) + "\". " + std::string(reason)) {}
};

// A file could not be created; `reason` is the system's own description of the failure.
class EFCreateError final : public Exception {
 public:
  EFCreateError(std::string_view path, std::string_view reason)
      : Exception("Cannot create file \"" + std::string(path) + "\". " + std::string(reason)) {}
};

}  // namespace platform

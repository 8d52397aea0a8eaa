#pragma once

#include <exception>
#include <string>

namespace platform {

// Base of every failure the program reports: a UTF-8 message shown to the user as it stands.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace platform

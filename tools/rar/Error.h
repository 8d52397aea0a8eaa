#pragma once

#include <string>

#include "platform/Exception.h"

namespace rar {

// A failure of the archiver; the message names what could not be done and why.
class Error : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The input file cannot be opened or read.
class InputError : public Error {
 public:
  using Error::Error;
};

// The archive cannot be created or written.
class OutputError : public Error {
 public:
  using Error::Error;
};

}  // namespace rar

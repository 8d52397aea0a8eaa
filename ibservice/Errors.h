#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Exception.h"

namespace ibservice {

class EDatabaseError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// Every failure of the database service client.
class EIBError : public EDatabaseError {
 public:
  EIBError(std::int32_t sqlErrorCode, std::int32_t serverErrorCode, std::string message)
      : EDatabaseError(std::move(message)), sqlErrorCode_(sqlErrorCode), serverErrorCode_(serverErrorCode) {}
  std::int32_t SqlErrorCode() const { return sqlErrorCode_; }
  std::int32_t ServerErrorCode() const { return serverErrorCode_; }

 private:
  std::int32_t sqlErrorCode_;
  std::int32_t serverErrorCode_;
};

// A failed call of the client library, with the server's own texts.
class EIBInterBaseError : public EIBError {
 public:
  using EIBError::EIBError;
};

// The same for SQL code -551 (no permission).
class EIBInterBaseRoleError : public EIBError {
 public:
  using EIBError::EIBError;
};

// A fault the components detect themselves; SqlErrorCode is the client error number.
class EIBClientError : public EIBError {
 public:
  EIBClientError(std::int32_t number, std::string message) : EIBError(number, 0, std::move(message)) {}
};

// A failed operating-system call (an entry point missing from the client library).
class EOSError : public platform::Exception {
 public:
  EOSError(int errorCode, std::string message)
      : platform::Exception(std::move(message)), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// The client error numbers the service components raise.
enum ClientErrorNumber : std::int32_t {
  kUnknownError = 0,
  kGdsLibraryNotFound = 1,
  kIB60FeatureMissing = 3,
  kOperationCancelled = 10,
  kSpbConstantNotSupported = 88,
  kSpbConstantUnknown = 89,
  kServiceNotAttached = 90,
  kServiceAttached = 91,
  kServerNameMissing = 92,
  kQueryParamsError = 93,
  kStartParamsError = 94,
  kOutputParsingError = 95,
};

// The message format of a client error number; numbers without a message of their own give that of 0.
const std::string& ClientErrorMessage(std::int32_t number);

// Raises EIBClientError with the number's message, its "%s"/"%d" placeholders filled in order.
[[noreturn]] void RaiseClientError(std::int32_t number, const std::vector<std::string>& arguments = {});

}  // namespace ibservice

#include "ibservice/StatusError.h"

#include <mutex>
#include <string>
#include <vector>

#include "ibservice/ClientLibrary.h"
#include "ibservice/ClientText.h"
#include "ibservice/Errors.h"

namespace ibservice {
namespace {

constexpr std::int32_t kRoleSqlCode = -551;
constexpr std::size_t kInterpreteBufferSize = 20480;
// Each message takes at least one entry of the status vector, so no honest library gives more; a
// library that never advances the cursor would otherwise grow the text for ever.
constexpr int kMaxStatusMessages = ISC_STATUS_LENGTH;

std::mutex& OptionsLock() {
  static std::mutex lock;
  return lock;
}

ErrorMessageOptions& Options() {
  static ErrorMessageOptions options;
  return options;
}

}  // namespace

ErrorMessageOptions GetErrorMessageOptions() {
  std::lock_guard guard(OptionsLock());
  return Options();
}

void SetErrorMessageOptions(ErrorMessageOptions options) {
  std::lock_guard guard(OptionsLock());
  Options() = options;
}

ISC_STATUS* ThreadStatusVector() {
  thread_local ISC_STATUS_ARRAY statusVector{};
  return statusVector;
}

void RaiseStatusError() {
  const ClientEntries& client = Client();
  ISC_STATUS* statusVector = ThreadStatusVector();
  const auto sqlCode = static_cast<std::int32_t>(client.isc_sqlcode(statusVector));
  const auto serverCode = static_cast<std::int32_t>(statusVector[1]);
  const ErrorMessageOptions options = GetErrorMessageOptions();

  std::string message;
  if (options.IncludeSqlCode) {
    message = "SQLCODE: " + std::to_string(sqlCode);
  }
  if (options.IncludeServerText) {
    if (options.IncludeSqlCode) {
      message += "\r\n";
    }
    // One spare byte keeps the text terminated even if the library fills the whole buffer.
    std::vector<ISC_SCHAR> text(kInterpreteBufferSize + 1, 0);
    ISC_STATUS* cursor = statusVector;
    for (int count = 0; count < kMaxStatusMessages && client.isc_interprete(text.data(), &cursor) > 0;
         ++count) {
      if (!message.empty() && message.back() != '\n') {
        message += "\r\n";
      }
      text[kInterpreteBufferSize] = 0;
      message += FromClientText(text.data());
    }
  }
  if (!message.empty() && message.back() == '.') {
    message.pop_back();
  }
  if (sqlCode == kRoleSqlCode) {
    throw EIBInterBaseRoleError(sqlCode, serverCode, message);
  }
  throw EIBInterBaseError(sqlCode, serverCode, message);
}

}  // namespace ibservice

#include "ibservice/Errors.h"

#include <map>

namespace ibservice {
namespace {

const std::map<std::int32_t, std::string>& ClientErrorMessages() {
  static const std::map<std::int32_t, std::string> messages = {
      {kUnknownError, "Unknown error"},
      {kGdsLibraryNotFound,
       "InterBase library gds32.dll not found in the path. Please install InterBase to use this "
       "functionality"},
      {kIB60FeatureMissing,
       "%s is an InterBase 6 function. Please upgrade to InterBase 6 to use this functonality"},
      {kOperationCancelled, "Operation cancelled at user's request"},
      {kSpbConstantNotSupported, "SPB Constant Not supported"},
      {kSpbConstantUnknown, "SPB Constant Unknown"},
      {kServiceNotAttached, "Cannot perform operation -- service is not attached"},
      {kServiceAttached, "Cannot perform operation -- service is attached"},
      {kServerNameMissing, "Server Name Missing"},
      {kQueryParamsError, "Query Parameters missing or incorrect"},
      {kStartParamsError, "start Parameters missing or incorrect"},
      {kOutputParsingError, "Unexpected Output buffer value"},
  };
  return messages;
}

std::string FillPlaceholders(const std::string& format, const std::vector<std::string>& arguments) {
  std::string text;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const bool placeholder =
        format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 's' || format[i + 1] == 'd');
    if (placeholder && next < arguments.size()) {
      text += arguments[next++];
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

}  // namespace

const std::string& ClientErrorMessage(std::int32_t number) {
  const auto& messages = ClientErrorMessages();
  const auto found = messages.find(number);
  return found != messages.end() ? found->second : messages.at(kUnknownError);
}

void RaiseClientError(std::int32_t number, const std::vector<std::string>& arguments) {
  throw EIBClientError(number, FillPlaceholders(ClientErrorMessage(number), arguments));
}

}  // namespace ibservice

#include "ftp/Text.h"

#include "platform/Conversions.h"
#include "platform/Text.h"

namespace ftp {

std::string Trim(std::string_view text) { return std::string(platform::Trim(text)); }

int StrToIntDef(std::string_view text, int fallback) {
  return platform::TryStrToInt(text).value_or(fallback);
}

}  // namespace ftp

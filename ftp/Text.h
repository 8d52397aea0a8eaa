#pragma once

#include <string>
#include <string_view>

namespace ftp {

// Without the blanks and control characters (every byte up to ' ') at both ends.
std::string Trim(std::string_view text);
// A decimal integer with an optional sign in the signed 32-bit range, else `fallback`.
int StrToIntDef(std::string_view text, int fallback);

}  // namespace ftp

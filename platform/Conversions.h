#pragma once

#include <optional>
#include <string_view>

namespace platform {

// A decimal integer with an optional sign and no blanks, in the signed 32-bit range;
// anything else raises EConvertError naming the text.
int StrToInt(std::string_view text);
// The same reading without the error: empty when the text is no such integer.
std::optional<int> TryStrToInt(std::string_view text);

}  // namespace platform

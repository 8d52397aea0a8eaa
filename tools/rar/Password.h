#pragma once

#include <string>
#include <string_view>

namespace rar {

// The archive password given as UTF-8 text, as the UTF-16 units the key derivation takes. Throws Error
// when it is empty, malformed, holds a control character or is longer than kMaxPasswordUnits units.
std::u16string PasswordFromUtf8(std::string_view text);

}  // namespace rar

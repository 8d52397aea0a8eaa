#include "tools/rar/Password.h"

#include "platform/Encoding.h"
#include "tools/rar/Encryption.h"
#include "tools/rar/Error.h"

namespace rar {

std::u16string PasswordFromUtf8(std::string_view text) {
  if (text.empty()) throw Error("the password is empty");
  std::u16string units;
  for (const char32_t c : platform::Utf8ToUtf32(text)) {
    if (c == U'\uFFFD') throw Error("the password is not valid UTF-8 text");
    if (c < 0x20 || c == 0x7F) throw Error("the password holds a control character");
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
  }
  if (units.size() > kMaxPasswordUnits)
    throw Error("the password is longer than " + std::to_string(kMaxPasswordUnits) + " characters");
  return units;
}

}  // namespace rar

#include "platform/Fingerprint.h"

#include <cctype>

namespace platform {

std::optional<std::string> CanonicalFingerprint(std::string_view text) {
  if (text.empty()) return std::string();
  std::string digits;
  for (const char c : text) {
    if (c == ':') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  }
  constexpr std::size_t kSha256Digits = 64;
  if (digits.size() != kSha256Digits) return std::nullopt;
  std::string pairs;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    if (i != 0) pairs.push_back(':');
    pairs.append(digits, i, 2);
  }
  return pairs;
}

}  // namespace platform

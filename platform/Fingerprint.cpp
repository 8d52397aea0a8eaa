#include "platform/Fingerprint.h"

#include <cctype>

namespace platform {
namespace {

std::string_view WithoutLabel(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals != std::string_view::npos) text.remove_prefix(equals + 1);
  for (std::string_view label : {"SHA256:", "sha256:", "SHA-256:", "sha-256:"}) {
    if (text.starts_with(label)) text.remove_prefix(label.size());
  }
  return text;
}

}  // namespace

std::optional<std::string> CanonicalFingerprint(std::string_view text) {
  if (text.empty()) return std::string();
  std::string digits;
  for (const char c : WithoutLabel(text)) {
    if (c == ':' || c == ' ' || c == '\t') continue;
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

std::string FingerprintText(std::span<const unsigned char> digest) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const unsigned char byte : digest) {
    if (!text.empty()) text += ':';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

}  // namespace platform

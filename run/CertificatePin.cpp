#include "run/CertificatePin.h"

#include <cctype>

namespace run {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

std::string_view WithoutLabel(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals != std::string_view::npos) text.remove_prefix(equals + 1);
  for (std::string_view label : {"SHA256:", "sha256:", "SHA-256:", "sha-256:"}) {
    if (text.starts_with(label)) text.remove_prefix(label.size());
  }
  return text;
}

}  // namespace

std::optional<Sha256Fingerprint> ParseSha256Fingerprint(std::string_view text) {
  Sha256Fingerprint fingerprint{};
  std::size_t digits = 0;
  for (char c : WithoutLabel(text)) {
    if (c == ':' || c == ' ' || c == '\t') continue;
    const int value = HexValue(c);
    if (value < 0 || digits == 2 * fingerprint.size()) return std::nullopt;
    auto& byte = fingerprint[digits / 2];
    byte = static_cast<unsigned char>(byte << 4 | value);
    ++digits;
  }
  if (digits != 2 * fingerprint.size()) return std::nullopt;
  return fingerprint;
}

std::string FormatSha256Fingerprint(const Sha256Fingerprint& fingerprint) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char byte : fingerprint) {
    if (!text.empty()) text += ':';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

}  // namespace run

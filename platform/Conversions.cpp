#include "platform/Conversions.h"

#include <charconv>
#include <cstdint>

#include "platform/Errors.h"

namespace platform {

std::optional<int> TryStrToInt(std::string_view text) {
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

int StrToInt(std::string_view text) {
  const std::optional<int> value = TryStrToInt(text);
  if (!value) throw EConvertError(text);
  return *value;
}

}  // namespace platform

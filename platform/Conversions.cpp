#include "platform/Conversions.h"

#include <charconv>
#include <cstdint>

#include "platform/Errors.h"

namespace platform {

int StrToInt(std::string_view text) {
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') throw EConvertError(text);
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (error != std::errc() || end != digits.data() + digits.size()) throw EConvertError(text);
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) throw EConvertError(text);
  return static_cast<int>(value);
}

}  // namespace platform

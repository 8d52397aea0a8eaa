#pragma once

#include <string_view>

namespace platform {

// Without the blanks and control characters (every byte up to ' ') at both ends.
inline std::string_view Trim(std::string_view text) {
  const auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && isBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace platform

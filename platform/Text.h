#pragma once

#include <string>
#include <string_view>

namespace platform {

// Without the blanks and control characters (every byte up to ' ') at both ends.
inline std::string_view Trim(std::string_view text) {
  const auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && isBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

// A message of several lines on one line: trimmed, each run of line ends made one blank.
inline std::string OneLine(std::string_view text) {
  std::string line(Trim(text));
  for (std::size_t at = line.find_first_of("\r\n"); at != std::string::npos;
       at = line.find_first_of("\r\n", at)) {
    const std::size_t end = line.find_first_not_of("\r\n", at);
    line.replace(at, (end == std::string::npos ? line.size() : end) - at, " ");
  }
  return line;
}

}  // namespace platform

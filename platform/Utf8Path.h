#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Paths are UTF-8 texts throughout the program; the file system wants them as its own path type.
inline std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace platform

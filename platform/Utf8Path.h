#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Paths are UTF-8 texts throughout the program; the file system wants them as its own path type.
inline std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// The other way: a file system path as the program's UTF-8 text.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace platform

#pragma once

#include <filesystem>
#include <string>

#include "platform/Files.h"

namespace wintest {

// A folder of its own under the user's temporary folder, removed with everything in it at the end.
// Paths are handed out as UTF-8 text in the Windows form, as the program uses them.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending with a backslash.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::filesystem::path root_;
  std::string path_;
};

std::filesystem::path FromUtf8(const std::string& text);
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);

}  // namespace wintest

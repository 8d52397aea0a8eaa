#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/Files.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its content at the end. Its path ends
// with the separator, so names join by concatenation as in the program.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    for (;;) {
      const std::filesystem::path folder =
          std::filesystem::temp_directory_path() / ("torvi-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(folder)) {
        path_ = folder.string() + platform::kPathSeparator;
        return;
      }
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; give write access back so that removal works.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
      }
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whether POSIX permission bits stop this process from reading a file or writing into a folder: not for
// the superuser, and not on Windows, where only the read-only attribute exists.
inline bool PermissionBitsBind() {
#ifdef _WIN32
  return false;
#else
  return ::geteuid() != 0;
#endif
}

}  // namespace testsupport

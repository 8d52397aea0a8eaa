#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it at the end, even what
// a test left read-only. Its path is UTF-8 text ending with the platform's separator, so names join by
// concatenation as in the program.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  // The same folder for the standard library.
  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
  std::string path_;
};

// Whole-file writes and reads; a file that cannot be written or read is an error. Text paths are UTF-8.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
void WriteBytes(const std::string& path, const std::string& bytes);
void WriteBytes(const char* path, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& path);
std::string ReadBytes(const std::string& path);
std::string ReadBytes(const char* path);

// The pieces of `text` that end with `end` (a last piece without it is left out).
std::vector<std::string> Lines(const std::string& text, const std::string& end);
// The run log at `path` as UTF-8 lines: its Windows-1252 bytes decoded and split at CR LF.
std::vector<std::string> LogLines(const std::string& path);

// The names of the entries in a folder, sorted; only those with `extension` (".rar") when one is given.
std::vector<std::string> FileNames(const std::filesystem::path& folder, const std::string& extension = "");

// Whether POSIX permission bits stop this process from reading a file or writing into a folder: not for
// the superuser, and not on Windows, where only the read-only attribute exists.
bool PermissionBitsBind();

}  // namespace testsupport

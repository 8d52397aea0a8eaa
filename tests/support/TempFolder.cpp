#include "tests/support/TempFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

#include "platform/Encoding.h"
#include "platform/Files.h"
#include "platform/Utf8Path.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace testsupport {
namespace {

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

TempFolder::TempFolder() {
  std::random_device random;
  for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("torvi-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) root_ = candidate;
  }
  if (root_.empty()) throw std::runtime_error("cannot create a temporary folder");
  path_ = Utf8(root_) + platform::kPathSeparator;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Give write access back to what a test made read-only, folders before their content, so that removal
  // works; links are left alone, as their targets lie outside.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
    if (entry.is_symlink(ignored)) continue;
    const auto access =
        entry.is_directory(ignored) ? std::filesystem::perms::owner_all : std::filesystem::perms::owner_write;
    std::filesystem::permissions(entry.path(), access, std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ignored);
  std::filesystem::remove_all(root_, ignored);
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + Utf8(path));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  WriteBytes(platform::Utf8Path(path), bytes);
}

void WriteBytes(const char* path, const std::string& bytes) { WriteBytes(platform::Utf8Path(path), bytes); }

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + Utf8(path));
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadBytes(const std::string& path) { return ReadBytes(platform::Utf8Path(path)); }

std::string ReadBytes(const char* path) { return ReadBytes(platform::Utf8Path(path)); }

std::vector<std::string> Lines(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, stop; (stop = text.find(end, start)) != std::string::npos;
       start = stop + end.size()) {
    lines.push_back(text.substr(start, stop - start));
  }
  return lines;
}

std::vector<std::string> LogLines(const std::string& path) {
  return Lines(platform::Cp1252ToUtf8(ReadBytes(path)), "\r\n");
}

std::vector<std::string> FileNames(const std::filesystem::path& folder, const std::string& extension) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (extension.empty() || Utf8(entry.path().extension()) == extension) {
      names.push_back(Utf8(entry.path().filename()));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool PermissionBitsBind() {
#ifdef _WIN32
  return false;
#else
  return ::geteuid() != 0;
#endif
}

}  // namespace testsupport

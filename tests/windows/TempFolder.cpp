#include "tests/windows/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace wintest {

std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

TempFolder::TempFolder() {
  std::random_device random;
  for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("torvi-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) root_ = candidate;
  }
  if (root_.empty()) throw std::runtime_error("cannot create a temporary folder");
  const std::u8string text = root_.u8string();
  path_.assign(text.begin(), text.end());
  path_ += '\\';
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(root_, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(FromUtf8(path), std::ios::binary);
  out << content;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(FromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace wintest

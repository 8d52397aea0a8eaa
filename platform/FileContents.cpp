#include "platform/FileContents.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/Files.h"
#include "platform/Utf8Path.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

bool WritableNow(const fs::path& path, fs::perms permissions) {
  // The write bits stand for the read-only attribute; they are honoured even where the account could
  // ignore them.
  constexpr fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((permissions & anyWrite) == fs::perms::none) return false;
  std::ofstream probe(path, std::ios::binary | std::ios::app);
  return probe.is_open();
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::error_code error;
  const fs::path file = Utf8Path(path);
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  std::error_code error;
  fs::path target = Utf8Path(path);
  if (fs::is_symlink(target, error)) {
    target = fs::canonical(target, error);
    if (error) return false;
  }
  const fs::file_status status = fs::status(target, error);
  const bool exists = fs::exists(status);
  if (exists && (!fs::is_regular_file(status) || !WritableNow(target, status.permissions()))) return false;

  fs::path temporary = target;
  temporary += ".tmp";
  const std::string temporaryPath = PathText(temporary);
  // A new file is its owner's alone (it may hold credentials); a replaced one keeps the access it had.
  if (!RemoveFileOrLink(temporaryPath) || !WriteNewFile(temporaryPath, bytes, NewFileAccess::OwnerOnly))
    return false;
  if (exists && !CopyFileAccess(PathText(target), temporaryPath)) {
    RemoveFileOrLink(temporaryPath);
    return false;
  }
  fs::rename(temporary, target, error);
  if (error) {
    fs::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace platform

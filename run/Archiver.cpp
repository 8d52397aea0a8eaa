#include "run/Archiver.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Utf8Path.h"

namespace run {

namespace {

[[noreturn]] void ThrowCannotWrite(const std::string& path) {
  throw platform::Exception("Não foi possível gravar o programa de compactação em " + path);
}

void WriteWholeFile(const std::string& path, std::span<const std::byte> bytes) {
  std::ofstream file(platform::Utf8Path(path), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (file.fail()) {
    platform::DeleteFile(path);
    ThrowCannotWrite(path);
  }
}

}  // namespace

void WriteArchiverIfMissing(const std::string& path, std::span<const std::byte> bytes) {
  if (platform::FileExists(path)) {
    return;
  }
  if (bytes.empty()) {
    throw platform::Exception(
        "Este programa foi compilado sem o programa de compactação; não é possível criar " + path);
  }
  // Written under a side name and moved into place, so a failed write never leaves a truncated archiver
  // that later runs would take for a whole one.
  const std::string partPath = path + ".part";
  platform::DeleteFile(partPath);
  WriteWholeFile(partPath, bytes);
  std::error_code ignored;
  std::filesystem::permissions(platform::Utf8Path(partPath),
                               std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec |
                                   std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add, ignored);
  if (!platform::MoveFile(partPath, path)) {
    platform::DeleteFile(partPath);
    if (!platform::FileExists(path)) {
      ThrowCannotWrite(path);
    }
  }
}

std::string ArchiverCommandLine(const RunNames& names) {
  return names.workFolder + platform::kPathSeparator + std::string(kArchiverFileName) + " a -ep -ibck " +
         names.workFolder + names.archiveName + " " + names.localBackupPath;
}

}  // namespace run

#include "run/Archiver.h"

#include <algorithm>
#include <random>

#include "platform/Exception.h"
#include "platform/FileContents.h"
#include "platform/Files.h"
#include "platform/PrivateFolder.h"

namespace run {

namespace {

bool Holds(const std::string& path, std::span<const std::byte> bytes) {
  const std::optional<std::string> held = platform::ReadFileBytes(path);
  return held && std::ranges::equal(std::as_bytes(std::span(*held)), bytes);
}

// A side name of this process alone, so that two programs writing the archiver at once never share one.
std::string SideName(const std::string& path) {
  std::random_device random;
  return path + ".tmp" + std::to_string(random() % 1000000u);
}

}  // namespace

std::string InstallArchiver(const std::string& privateFolder, std::span<const std::byte> bytes) {
  std::string path = privateFolder + std::string(kArchiverFileName);
  if (bytes.empty()) {
    throw platform::Exception(
        "Este programa foi compilado sem o programa de compactação; não é possível criar " + path);
  }
  platform::MakePrivateFolder(privateFolder);
  if (Holds(path, bytes)) {
    return path;
  }
  // Written whole under a side name and moved into place, so no run ever starts a truncated archiver.
  const std::string sidePath = SideName(path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const bool written = platform::WriteNewFile(sidePath, text, platform::NewFileAccess::OwnerOnlyExecutable) &&
                       platform::RemoveFileOrLink(path) && platform::MoveFile(sidePath, path);
  if (!written) {
    platform::DeleteFile(sidePath);
    // Another program of this user may have put the same archiver in place meanwhile (or be running it).
    if (!Holds(path, bytes)) {
      throw platform::Exception("Não foi possível gravar o programa de compactação em " + path);
    }
  }
  return path;
}

std::string ArchiverCommandLine(const std::string& archiverPath, const RunNames& names,
                                ArchiveEncryption encryption) {
  // The user's folder may hold blanks ("C:\Users\Ana Maria\..."); the run's own names never do.
  const bool blanks = archiverPath.find_first_of(" \t") != std::string::npos;
  const char* password = encryption == ArchiveEncryption::None   ? ""
                         : encryption == ArchiveEncryption::Data ? "-p "
                                                                 : "-hp ";
  return (blanks ? "\"" + archiverPath + "\"" : archiverPath) + " a -ep -ibck " + password +
         names.workFolder + names.archiveName + " " + names.localBackupPath;
}

}  // namespace run

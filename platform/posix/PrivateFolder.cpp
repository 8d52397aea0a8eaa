#include "platform/PrivateFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/NotPrivateFolder.h"

namespace platform {
namespace {

std::string WithoutClosingSeparators(std::string folder) {
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  return folder;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == kPathSeparator) return home;
  if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return {};
}

void CreateWithParents(const std::string& folder) {
  for (std::size_t cut = folder.find(kPathSeparator, 1); cut != std::string::npos;
       cut = folder.find(kPathSeparator, cut + 1)) {
    ::mkdir(folder.substr(0, cut).c_str(), 0700);
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw Exception("Não foi possível criar a pasta " + folder);
}

// Whether someone other than the superuser and this user could rename or replace what the folder holds.
bool OthersCanChange(const struct stat& info) {
  const bool ownedByTrusted = info.st_uid == 0 || info.st_uid == ::geteuid();
  const bool writableByOthers = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (info.st_mode & S_ISVTX) == 0;
  return !ownedByTrusted || writableByOthers;
}

}  // namespace

std::string UserPrivateFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const std::string base = dataHome != nullptr && dataHome[0] == kPathSeparator
                               ? std::string(dataHome)
                               : HomeFolder() + kPathSeparator + ".local" + kPathSeparator + "share";
  return WithoutClosingSeparators(base) + kPathSeparator + "torvi" + kPathSeparator;
}

void MakePrivateFolder(const std::string& folderText) {
  const std::string folder = WithoutClosingSeparators(folderText);
  CreateWithParents(folder);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    throw NotPrivateFolder(folder, "não é uma pasta (é um link ou um arquivo)");
  if (info.st_uid != ::geteuid()) throw NotPrivateFolder(folder, "pertence a outro usuário");
  if ((info.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0)
    throw NotPrivateFolder(folder, "não pôde ser restrita a este usuário");

  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
  if (!resolved) throw NotPrivateFolder(folder, "não pôde ser verificada");
  for (std::string ancestor = resolved.get(); ancestor != "/";) {
    const std::size_t cut = ancestor.rfind(kPathSeparator);
    ancestor.erase(cut == 0 ? 1 : cut);
    if (::stat(ancestor.c_str(), &info) != 0 || OthersCanChange(info))
      throw NotPrivateFolder(folder, "está dentro de " + ancestor + ", que outros usuários podem alterar");
  }
}

}  // namespace platform

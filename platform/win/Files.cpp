#include "platform/Files.h"

#include <algorithm>
#include <cstdint>

#include "platform/win/OwnerOnlySecurity.h"
#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {

namespace {

constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
// 100-nanosecond ticks from 1601-01-01 (FILETIME's origin) to 1970-01-01.
constexpr std::int64_t kFileTimeToUnixEpoch = 116'444'736'000'000'000;

std::chrono::system_clock::time_point FromFileTime(const FILETIME& fileTime) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = fileTime.dwLowDateTime;
  ticks.HighPart = fileTime.dwHighDateTime;
  const std::int64_t sinceUnixEpoch = static_cast<std::int64_t>(ticks.QuadPart) - kFileTimeToUnixEpoch;
  const auto duration =
      std::chrono::duration<std::int64_t, std::ratio<1, kFileTimeTicksPerSecond>>(sinceUnixEpoch);
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(duration));
}

bool IsDotEntry(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// The volume and index that name one file, whatever the path; false when it cannot be opened. A link
// is taken as itself.
bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return known;
}

bool SameFile(const std::wstring& first, const std::wstring& second) {
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  return FileIdentity(first, a) && FileIdentity(second, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win::Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CreateFolder(const std::string& path) {
  return CreateDirectoryW(win::Utf8ToWide(path).c_str(), nullptr) != 0;
}

// The system's own matching: letter case ignored, and (as everywhere on Windows) a mask may also
// match an entry through its short 8.3 name.
std::vector<FoundEntry> FindFiles(const std::string& pattern) {
  std::vector<FoundEntry> entries;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(win::Utf8ToWide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    entries.push_back(
        {win::WideToUtf8(found.cFileName), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

bool DeleteFile(const std::string& path) { return DeleteFileW(win::Utf8ToWide(path).c_str()) != 0; }

bool CopyFile(const std::string& from, const std::string& to) {
  return CopyFileW(win::Utf8ToWide(from).c_str(), win::Utf8ToWide(to).c_str(), FALSE) != 0;
}

bool MoveFile(const std::string& from, const std::string& to) {
  return MoveFileW(win::Utf8ToWide(from).c_str(), win::Utf8ToWide(to).c_str()) != 0;
}

bool RemoveFileOrLink(const std::string& path) {
  const std::wstring wide = win::Utf8ToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  // A link or junction to a folder is removed as a folder entry; the folder it points to stays.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return RemoveDirectoryW(wide.c_str()) != 0;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  // As on POSIX, a read-only file does not stop its removal from a folder one can write into.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
    SetFileAttributesW(wide.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return DeleteFileW(wide.c_str()) != 0;
}

bool WriteNewFile(const std::string& path, std::string_view bytes, NewFileAccess) {
  win::OwnerOnlySecurity security;
  if (security.Attributes() == nullptr) return false;
  const std::wstring wide = win::Utf8ToWide(path);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, security.Attributes(), CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file) != 0;
  const bool closed = CloseHandle(file) != 0;
  if (!written || !closed) DeleteFileW(wide.c_str());
  return written && closed;
}

bool CopyToNewFile(const std::string& from, const std::string& to) {
  const std::wstring source = win::Utf8ToWide(from);
  const std::wstring target = win::Utf8ToWide(to);
  if (SameFile(source, target) || !RemoveFileOrLink(to)) return false;
  return CopyFileW(source.c_str(), target.c_str(), TRUE) != 0;
}

bool CopyFileAccess(const std::string& from, const std::string& to) {
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring source = win::Utf8ToWide(from);
  if (GetNamedSecurityInfoW(source.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  // A list that inherits from its folder goes on inheriting; the inherited entries come from the folder.
  const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED) != 0
                                                                     ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                     : UNPROTECTED_DACL_SECURITY_INFORMATION);
  std::wstring target = win::Utf8ToWide(to);
  const bool copied = SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, what, nullptr, nullptr, list,
                                            nullptr) == ERROR_SUCCESS;
  LocalFree(descriptor);
  return copied;
}

std::optional<std::chrono::system_clock::time_point> FileCreationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(win::Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return FromFileTime(data.ftCreationTime);
}

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return win::WideToUtf8(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace platform

#include "platform/Files.h"

#include <cstdint>

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

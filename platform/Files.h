#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The platform's path separator: folder settings end with it and are joined to names by concatenation.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

struct FoundEntry {
  std::string name;  // bare name, UTF-8
  bool isFolder = false;
};

bool FileExists(const std::string& path);
// Creates one folder; false when it already exists or cannot be created (callers pass over both).
bool CreateFolder(const std::string& path);
// Lists the entries of a folder matching the wildcard mask in the last component of `pattern`
// (e.g. "/var/tmp/torvi/Backup/*.bk"): '*' and '?' wildcards, letter case ignored, hidden entries and
// folders included, "." and ".." left out. A missing folder lists nothing.
std::vector<FoundEntry> FindFiles(const std::string& pattern);
bool MatchesWildcard(const std::string& name, const std::string& mask);
bool DeleteFile(const std::string& path);
// Copies over an existing target.
bool CopyFile(const std::string& from, const std::string& to);
// Renames; fails when the target exists.
bool MoveFile(const std::string& from, const std::string& to);

// For folders that other users may write into, where any name may already hold a planted link:
// Removes what stands at `path` when it is a file or a link (the link itself, never its target); a
// folder stays. True when nothing stands there afterwards.
bool RemoveFileOrLink(const std::string& path);
// Who may open a new file: its owner only (0600, or 0700 when executable, on POSIX; on Windows an
// access list naming the owner, the administrators and the system).
enum class NewFileAccess { OwnerOnly, OwnerOnlyExecutable };
// Creates a new file at `path` holding `bytes`. Fails when anything stands at `path`, a link included,
// which is never followed. A failed write removes the file.
bool WriteNewFile(const std::string& path, std::string_view bytes, NewFileAccess access);
// Copies into a new file: what stands at `to` is removed first when it is a file or a link, then the
// copy is created exclusively, so nothing is ever written through a link. Fails, touching nothing,
// when `to` is `from` itself.
bool CopyToNewFile(const std::string& from, const std::string& to);
// Gives `to` the access that `from` has: its mode bits on POSIX, its access list on Windows.
bool CopyFileAccess(const std::string& from, const std::string& to);
// Birth time where the file system keeps it, otherwise the modification time; empty when the file is gone.
std::optional<std::chrono::system_clock::time_point> FileCreationTime(const std::string& path);
// The full path of the running executable; empty when the system does not tell it.
std::string ExecutablePath();
// The folder of the running executable, ending with the path separator.
std::string ExecutableFolder();

}  // namespace platform

#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  // Closes now so that a failing close (a late write error) can be seen.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies the bytes of one open file into another; false on any read or write error.
bool CopyContents(int from, int to) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
  }
}

bool IsFolder(const std::string& folder, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return entry.d_type == DT_DIR;
  struct stat info {};
  return ::stat((folder + entry.d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

std::vector<FoundEntry> FindFiles(const std::string& pattern) {
  const std::size_t cut = pattern.rfind(kPathSeparator);
  const std::string folder = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  const std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  std::vector<FoundEntry> found;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(name, mask)) continue;
    found.push_back({name, IsFolder(folder, *entry)});
  }
  return found;
}

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

namespace {

// How a copy treats what stands at its target: written over (through a link), or removed first and
// replaced by a new file.
enum class CopyTarget { Overwrite, New };

bool Copy(const std::string& from, const std::string& to, CopyTarget targetKind) {
  FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat sourceInfo {};
  if (source.Get() < 0 || ::fstat(source.Get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
    return false;
  // Copying a file onto itself would truncate it before reading it; a new copy would remove it first.
  struct stat targetInfo {};
  const int targetFound =
      targetKind == CopyTarget::New ? ::lstat(to.c_str(), &targetInfo) : ::stat(to.c_str(), &targetInfo);
  if (targetFound == 0 && targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
    return false;
  }
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_TRUNC;
  if (targetKind == CopyTarget::New) {
    if (!RemoveFileOrLink(to)) return false;
    flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_EXCL | O_NOFOLLOW;
  }
  FileDescriptor target(::open(to.c_str(), flags, sourceInfo.st_mode & 07777));
  if (target.Get() < 0) return false;
  struct stat openedInfo {};
  const bool regularTarget = ::fstat(target.Get(), &openedInfo) == 0 && S_ISREG(openedInfo.st_mode);
  const bool copied = CopyContents(source.Get(), target.Get()) &&
                      (!regularTarget || ::fsync(target.Get()) == 0) && target.Close();
  // A partial copy must not stay behind looking like a whole one; a device or pipe is no copy to remove.
  if (!copied && regularTarget) ::unlink(to.c_str());
  return copied;
}

}  // namespace

bool CopyFile(const std::string& from, const std::string& to) {
  return Copy(from, to, CopyTarget::Overwrite);
}

bool CopyToNewFile(const std::string& from, const std::string& to) { return Copy(from, to, CopyTarget::New); }

bool RemoveFileOrLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  if (S_ISDIR(info.st_mode)) return false;
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool WriteNewFile(const std::string& path, std::string_view bytes, NewFileAccess access) {
  const mode_t mode = access == NewFileAccess::OwnerOnlyExecutable ? 0700 : 0600;
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
  if (file.Get() < 0) return false;
  // The umask may have taken bits away; the mode asked for is the mode the file gets.
  const bool written = ::fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), bytes.data(), bytes.size()) &&
                       ::fsync(file.Get()) == 0 && file.Close();
  if (!written) ::unlink(path.c_str());
  return written;
}

bool CopyFileAccess(const std::string& from, const std::string& to) {
  struct stat info {};
  return ::stat(from.c_str(), &info) == 0 && ::chmod(to.c_str(), info.st_mode & 07777) == 0;
}

bool MoveFile(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EXDEV) {
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0 || !CopyFile(from, to)) return false;
    if (::unlink(from.c_str()) == 0) return true;
    ::unlink(to.c_str());
    return false;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot refuse to replace by itself.
  struct stat info {};
  if (::lstat(to.c_str(), &info) == 0) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::chrono::system_clock::time_point> FileCreationTime(const std::string& path) {
  struct statx info {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) != 0) return std::nullopt;
  const struct statx_timestamp& stamp = (info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime;
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec)));
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  if (path.empty()) return std::string(".") + kPathSeparator;
  return path.substr(0, path.rfind(kPathSeparator) + 1);
}

}  // namespace platform

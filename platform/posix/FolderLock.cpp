#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Exception.h"

namespace platform {
namespace {

class FileDescriptorLock final : public FolderLock {
 public:
  explicit FileDescriptorLock(int descriptor) : descriptor_(descriptor) {}
  ~FileDescriptorLock() override { ::close(descriptor_); }
  FileDescriptorLock(const FileDescriptorLock&) = delete;
  FileDescriptorLock& operator=(const FileDescriptorLock&) = delete;

 private:
  int descriptor_;
};

[[noreturn]] void ThrowLockError(const std::string& path, int error) {
  throw Exception("Não foi possível bloquear " + path + ": " + std::strerror(error));
}

}  // namespace

std::unique_ptr<FolderLock> FolderLock::TryAcquire(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) ThrowLockError(path, errno);
  // flock, not fcntl: its lock belongs to the open file, so a second lock taken in the same process
  // (two windows' runs) is refused too.
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(descriptor);
    if (error == EWOULDBLOCK) return nullptr;
    ThrowLockError(path, error);
  }
  return std::make_unique<FileDescriptorLock>(descriptor);
}

}  // namespace platform

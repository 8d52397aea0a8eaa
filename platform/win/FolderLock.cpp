#include "platform/FolderLock.h"

#include "platform/Exception.h"
#include "platform/win/SystemErrorText.h"
#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {
namespace {

class HandleLock final : public FolderLock {
 public:
  explicit HandleLock(HANDLE handle) : handle_(handle) {}
  ~HandleLock() override { CloseHandle(handle_); }
  HandleLock(const HandleLock&) = delete;
  HandleLock& operator=(const HandleLock&) = delete;

 private:
  HANDLE handle_;
};

[[noreturn]] void ThrowLockError(const std::string& path, DWORD error) {
  throw Exception("Não foi possível bloquear " + path + ": " + win::SystemErrorText(error));
}

}  // namespace

std::unique_ptr<FolderLock> FolderLock::TryAcquire(const std::string& path) {
  // FILE_FLAG_OPEN_REPARSE_POINT: a link planted under the lock's name is opened itself, never followed.
  const HANDLE handle =
      CreateFileW(win::Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) ThrowLockError(path, GetLastError());
  OVERLAPPED whole{};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                  &whole)) {
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return nullptr;
    ThrowLockError(path, error);
  }
  return std::make_unique<HandleLock>(handle);
}

}  // namespace platform

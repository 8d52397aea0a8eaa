#pragma once

#include <memory>
#include <string>

namespace platform {

// An advisory lock held on a file for as long as the object lives. The system drops it when the
// process ends, however it ends, so a killed holder never blocks the next one.
class FolderLock {
 public:
  virtual ~FolderLock() = default;

  // The lock on `path` (created when missing, never through a link), or null when another process holds
  // it. Raises platform::Exception when the file cannot be opened or locked for any other reason.
  static std::unique_ptr<FolderLock> TryAcquire(const std::string& path);
};

}  // namespace platform

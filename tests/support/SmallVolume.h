#pragma once

#ifdef __linux__
#include <sys/mount.h>
#endif

#include <filesystem>
#include <string>

namespace testsupport {

// A small file system of its own (tmpfs), mounted for one test; Mounted() is false where mounting is not
// allowed, and the test then skips.
class SmallVolume {
 public:
  SmallVolume(const std::filesystem::path& folder, [[maybe_unused]] const std::string& size)
      : folder_(folder) {
    std::filesystem::create_directories(folder_);
#ifdef __linux__
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
#endif
  }
  ~SmallVolume() {
#ifdef __linux__
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
#endif
  }
  SmallVolume(const SmallVolume&) = delete;
  SmallVolume& operator=(const SmallVolume&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

}  // namespace testsupport

#include "run/WorkFolder.h"

#include "platform/Files.h"

namespace run {

void CreateWorkFolder(const std::string& workFolder) {
  std::string folder = workFolder;
  while (!folder.empty() && folder.back() == platform::kPathSeparator) {
    folder.pop_back();
  }
  const std::size_t lastSeparator = folder.rfind(platform::kPathSeparator);
  if (lastSeparator != std::string::npos && lastSeparator > 0) {
    platform::CreateFolder(folder.substr(0, lastSeparator));
  }
  platform::CreateFolder(folder);
}

}  // namespace run

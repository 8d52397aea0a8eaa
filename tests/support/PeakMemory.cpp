#include "tests/support/PeakMemory.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h needs its types.
#include <psapi.h>
#else
#include <fstream>
#include <string>
#endif

#include <stdexcept>

namespace testsupport {

#ifdef _WIN32

void ResetPeakMemory() {}

std::int64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    throw std::runtime_error("GetProcessMemoryInfo failed");
  }
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize);
}

#else

void ResetPeakMemory() {
  // "5" resets the peak resident size to the current one (Linux 4.0 and later).
  std::ofstream("/proc/self/clear_refs") << "5";
}

std::int64_t PeakMemoryBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      std::int64_t kibibytes = 0;
      status >> kibibytes;
      return kibibytes * 1024;
    }
    status.ignore(1 << 16, '\n');
  }
  throw std::runtime_error("no VmHWM in /proc/self/status");
}

#endif

}  // namespace testsupport

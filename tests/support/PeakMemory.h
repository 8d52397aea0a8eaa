#pragma once

#include <cstdint>

namespace testsupport {

// The process's own accounting of its peak resident memory. Linux: VmHWM, which ResetPeakMemory sets
// back to the current size; Windows: the peak working set, which cannot be reset (each test runs in a
// process of its own, so the peak is that test's).
void ResetPeakMemory();
std::int64_t PeakMemoryBytes();

inline constexpr std::int64_t kMiB = 1024 * 1024;

// Under AddressSanitizer the shadow memory and the quarantine of freed blocks make the resident size
// say nothing of the program's own use.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPeakMemoryIsOurs = false;
#elif defined(__has_feature)
inline constexpr bool kPeakMemoryIsOurs = !__has_feature(address_sanitizer);
#else
inline constexpr bool kPeakMemoryIsOurs = true;
#endif

}  // namespace testsupport

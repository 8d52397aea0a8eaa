#include "tools/rar/SystemRandom.h"

#ifdef _WIN32
#include <windows.h>
// After <windows.h>, whose types it needs.
#include <bcrypt.h>
#else
#include <sys/random.h>

#include <cerrno>
#include <cstring>
#endif

#include <string>

#include "tools/rar/Error.h"

namespace rar {

void FillWithSystemRandom(std::span<std::uint8_t> bytes) {
#ifdef _WIN32
  if (BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                      BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
    throw Error("the system's random generator failed");
#else
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw Error(std::string("the system's random generator failed: ") + std::strerror(errno));
    }
    filled += static_cast<std::size_t>(got);
  }
#endif
}

}  // namespace rar

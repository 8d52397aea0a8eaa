#include "platform/MachineName.h"

#include <unistd.h>

#include <array>

namespace platform {

std::string MachineName() {
  std::array<char, 256> name{};
  if (::gethostname(name.data(), name.size() - 1) != 0) return {};
  return name.data();
}

}  // namespace platform

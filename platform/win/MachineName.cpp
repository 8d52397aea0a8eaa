#include "platform/MachineName.h"

#include <array>

#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {

std::string MachineName() {
  std::array<wchar_t, MAX_COMPUTERNAME_LENGTH + 1> name{};
  DWORD size = static_cast<DWORD>(name.size());
  if (!::GetComputerNameW(name.data(), &size)) return {};
  return win::WideToUtf8(std::wstring_view(name.data(), size));
}

}  // namespace platform

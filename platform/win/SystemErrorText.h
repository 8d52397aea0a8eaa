#pragma once

#include <string>

namespace platform::win {

// The system's own text for an error number (GetLastError, WSAGetLastError), UTF-8, without the
// trailing line break; empty when the system has none.
std::string SystemErrorText(unsigned long code);

}  // namespace platform::win

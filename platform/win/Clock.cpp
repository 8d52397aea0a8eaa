#include "platform/Clock.h"

#include "platform/win/SystemHeaders.h"

namespace platform {

LocalDateTime SystemClock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void SystemSleeper::Sleep(int milliseconds) {
  ::Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}

}  // namespace platform

#include "platform/Process.h"

#include <vector>

#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {

int RunAndWait(const std::string& commandLine) { return RunAndWait(commandLine, {}, {}); }

// The system takes the program from the first word of the line and splits the rest itself.
int RunAndWait(const std::string& commandLine, const ReadProgress& onRead, std::chrono::milliseconds period) {
  std::wstring wide = win::Utf8ToWide(commandLine);
  std::vector<wchar_t> writableLine(wide.begin(), wide.end());  // CreateProcessW may write into it
  writableLine.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, writableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  const DWORD wait = onRead ? static_cast<DWORD>(period.count()) : INFINITE;
  DWORD waited = WAIT_TIMEOUT;
  while ((waited = WaitForSingleObject(process.hProcess, wait)) == WAIT_TIMEOUT) {
    IO_COUNTERS counters{};
    if (GetProcessIoCounters(process.hProcess, &counters)) {
      onRead(static_cast<std::int64_t>(counters.ReadTransferCount));
    }
  }
  int result = -1;
  DWORD exitCode = 0;
  if (waited == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &exitCode)) {
    result = static_cast<int>(exitCode);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace platform

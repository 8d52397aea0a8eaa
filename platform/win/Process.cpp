#include "platform/Process.h"

#include <vector>

#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {

// The system takes the program from the first word of the line and splits the rest itself.
int RunAndWait(const std::string& commandLine) {
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
  int result = -1;
  DWORD exitCode = 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(process.hProcess, &exitCode)) {
    result = static_cast<int>(exitCode);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace platform

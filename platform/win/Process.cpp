#include "platform/Process.h"

#include <vector>

#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {
namespace {

// An anonymous pipe already holding the bytes, its write end closed: what the program reads as its
// standard input. Only its read end can be inherited, and it is filled before the program exists.
class FilledPipe {
 public:
  FilledPipe() = default;
  FilledPipe(const FilledPipe&) = delete;
  FilledPipe& operator=(const FilledPipe&) = delete;
  ~FilledPipe() {
    if (readEnd_ != nullptr) CloseHandle(readEnd_);
  }

  bool Fill(std::string_view bytes) {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd_, &writeEnd, &inheritable, static_cast<DWORD>(kStandardInputLimit))) {
      readEnd_ = nullptr;
      return false;
    }
    DWORD written = 0;
    const bool filled = SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0) &&
                        (bytes.empty() || WriteFile(writeEnd, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                    &written, nullptr)) &&
                        written == bytes.size();
    CloseHandle(writeEnd);
    return filled;
  }

  HANDLE ReadEnd() const { return readEnd_; }

 private:
  HANDLE readEnd_ = nullptr;
};

}  // namespace

int RunAndWait(const std::string& commandLine) { return RunAndWait(commandLine, {}, {}); }

int RunAndWait(const std::string& commandLine, const ReadProgress& onRead, std::chrono::milliseconds period) {
  return RunAndWait(commandLine, std::nullopt, onRead, period);
}

// The system takes the program from the first word of the line and splits the rest itself.
int RunAndWait(const std::string& commandLine, std::optional<std::string_view> standardInput,
               const ReadProgress& onRead, std::chrono::milliseconds period) {
  std::wstring wide = win::Utf8ToWide(commandLine);
  std::vector<wchar_t> writableLine(wide.begin(), wide.end());  // CreateProcessW may write into it
  writableLine.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  FilledPipe input;
  if (standardInput) {
    if (standardInput->size() > kStandardInputLimit || !input.Fill(*standardInput)) return -1;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.ReadEnd();
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, writableLine.data(), nullptr, nullptr, standardInput ? TRUE : FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
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

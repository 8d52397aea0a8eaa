#include "platform/DynamicLibrary.h"

#include "platform/win/SystemErrorText.h"
#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

namespace platform {
namespace {

SystemError LastSystemError() {
  const DWORD code = GetLastError();
  return SystemError{static_cast<int>(code), win::SystemErrorText(code)};
}

}  // namespace

bool DynamicLibrary::Load(const std::string& fileName) {
  Unload();
  // A missing library or one of its dependencies must fail the call, never open a system dialog.
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE module = LoadLibraryW(win::Utf8ToWide(fileName).c_str());
  const SystemError loadError = module == nullptr ? LastSystemError() : SystemError{};
  SetThreadErrorMode(previousMode, nullptr);
  if (module == nullptr) {
    lastError_ = loadError;
    return false;
  }
  handle_ = module;
  return true;
}

void* DynamicLibrary::Symbol(const std::string& name) {
  if (handle_ == nullptr) {
    lastError_ = SystemError{ERROR_INVALID_HANDLE, win::SystemErrorText(ERROR_INVALID_HANDLE)};
    return nullptr;
  }
  FARPROC address = GetProcAddress(static_cast<HMODULE>(handle_), name.c_str());
  if (address == nullptr) {
    lastError_ = LastSystemError();
    return nullptr;
  }
  return reinterpret_cast<void*>(address);
}

void DynamicLibrary::Unload() {
  if (handle_ != nullptr) {
    FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
  }
}

}  // namespace platform

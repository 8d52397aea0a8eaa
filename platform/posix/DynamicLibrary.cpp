#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include <cerrno>

namespace platform {
namespace {

// dlopen/dlsym keep no error number; a missing file or entry is reported as "no such entry" with the
// loader's own text, which names the library and the symbol.
SystemError LoaderError() {
  const char* text = dlerror();
  return SystemError{ENOENT, text != nullptr ? text : ""};
}

}  // namespace

bool DynamicLibrary::Load(const std::string& fileName) {
  Unload();
  dlerror();
  handle_ = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    lastError_ = LoaderError();
    return false;
  }
  return true;
}

void* DynamicLibrary::Symbol(const std::string& name) {
  if (handle_ == nullptr) {
    lastError_ = SystemError{ENOENT, "no library loaded"};
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, name.c_str());
  if (address == nullptr) {
    lastError_ = LoaderError();
  }
  return address;
}

void DynamicLibrary::Unload() {
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

}  // namespace platform

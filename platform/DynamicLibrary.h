#pragma once

#include <string>

namespace platform {

// The operating system's account of the last failed load or lookup: its error number (0 when it keeps
// none) and its text for it.
struct SystemError {
  int code = 0;
  std::string text;
};

// A shared library loaded at run time by file name and released on destruction. Loading through the
// platform's own search rules (dlopen / LoadLibrary), never linked.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  ~DynamicLibrary();

  // Loads the library; false (and LastError() filled) when the platform reports a failure.
  bool Load(const std::string& fileName);
  bool IsLoaded() const { return handle_ != nullptr; }
  // The address of an exported entry point; nullptr (and LastError() filled) when it is missing.
  void* Symbol(const std::string& name);
  void Unload();
  const SystemError& LastError() const { return lastError_; }

 private:
  void* handle_ = nullptr;
  SystemError lastError_;
};

}  // namespace platform

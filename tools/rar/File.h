#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>

namespace rar {

// A buffered file of the archiver. Failures throw InputError for the file being archived and
// OutputError for the archive, with the system's reason in the message.
class File {
 public:
  static File OpenForReading(const std::filesystem::path& path);
  // Creates the file, failing when it exists; messages name it `shownAs` when given.
  static File CreateNew(const std::filesystem::path& path, const std::filesystem::path& shownAs = {});

  File(File&& other) noexcept;
  File& operator=(File&&) = delete;
  ~File();

  // Fills `buffer` as far as the file allows; returns the count, 0 at the end of the file.
  std::size_t Read(std::span<std::uint8_t> buffer);
  void Write(std::span<const std::uint8_t> data);
  void Seek(std::uint64_t offset);
  // Flushes and closes, reporting a failure of the last writes.
  void Close();

 private:
  File(std::FILE* handle, std::filesystem::path path, bool forOutput);
  [[noreturn]] void Fail(const char* what, int error) const;

  std::FILE* handle_;
  std::filesystem::path path_;
  bool forOutput_;
};

}  // namespace rar

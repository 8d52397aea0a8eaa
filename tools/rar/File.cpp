#include "tools/rar/File.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "tools/rar/Error.h"

namespace rar {

namespace {

constexpr std::size_t kStreamBuffer = 1 << 20;

// Output files are always new: opening one that already exists fails rather than truncating it.
std::FILE* Open(const std::filesystem::path& path, bool forOutput) {
#ifdef _WIN32
  if (forOutput) {
    // Created exclusively, in one step, so that nothing planted under the name is ever written through.
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) _close(fd);
    return file;
  }
  return _wfopen(path.c_str(), L"rb");
#else
  return std::fopen(path.c_str(), forOutput ? "wbx" : "rb");
#endif
}

std::string Describe(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return "\"" + std::string(text.begin(), text.end()) + "\"";
}

}  // namespace

File::File(std::FILE* handle, std::filesystem::path path, bool forOutput)
    : handle_(handle), path_(std::move(path)), forOutput_(forOutput) {
  std::setvbuf(handle_, nullptr, _IOFBF, kStreamBuffer);
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      path_(std::move(other.path_)),
      forOutput_(other.forOutput_) {}

File::~File() {
  if (handle_ != nullptr) std::fclose(handle_);
}

File File::OpenForReading(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw InputError("cannot open " + Describe(path) + ": is a folder");
  errno = 0;
  std::FILE* handle = Open(path, false);
  if (handle == nullptr) throw InputError("cannot open " + Describe(path) + ": " + std::strerror(errno));
  return File(handle, path, false);
}

File File::CreateNew(const std::filesystem::path& path, const std::filesystem::path& shownAs) {
  const std::filesystem::path& name = shownAs.empty() ? path : shownAs;
  errno = 0;
  std::FILE* handle = Open(path, true);
  if (handle == nullptr) throw OutputError("cannot create " + Describe(name) + ": " + std::strerror(errno));
  return File(handle, name, true);
}

std::size_t File::Read(std::span<std::uint8_t> buffer) {
  errno = 0;
  const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), handle_);
  if (count < buffer.size() && std::ferror(handle_)) Fail("read", errno);
  return count;
}

void File::Write(std::span<const std::uint8_t> data) {
  if (data.empty()) return;
  errno = 0;
  if (std::fwrite(data.data(), 1, data.size(), handle_) != data.size()) Fail("write", errno);
}

void File::Seek(std::uint64_t offset) {
  errno = 0;
#ifdef _WIN32
  const int result = _fseeki64(handle_, static_cast<long long>(offset), SEEK_SET);
#else
  const int result = fseeko(handle_, static_cast<off_t>(offset), SEEK_SET);
#endif
  if (result != 0) Fail("seek in", errno);
}

void File::Close() {
  errno = 0;
  std::FILE* handle = std::exchange(handle_, nullptr);
  if (std::fclose(handle) != 0) Fail("close", errno);
}

void File::Fail(const char* what, int error) const {
  const std::string reason = error != 0 ? std::strerror(error) : "I/O error";
  const std::string message = std::string("cannot ") + what + " " + Describe(path_) + ": " + reason;
  if (forOutput_) throw OutputError(message);
  throw InputError(message);
}

}  // namespace rar

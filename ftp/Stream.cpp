#include "ftp/Stream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Errors.h"
#include "platform/Utf8Path.h"

namespace ftp {
namespace {

#ifdef _WIN32
std::int64_t Tell(std::FILE* file) { return _ftelli64(file); }
int Seek(std::FILE* file, std::int64_t offset, int origin) { return _fseeki64(file, offset, origin); }
#else
std::int64_t Tell(std::FILE* file) { return ftello(file); }
int Seek(std::FILE* file, std::int64_t offset, int origin) { return fseeko(file, offset, origin); }
#endif

}  // namespace

std::size_t TMemoryStream::Read(char* buffer, std::size_t count) {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (position_ >= size) return 0;
  const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(size - position_));
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

void TMemoryStream::Write(const char* bytes, std::size_t count) {
  const auto end = static_cast<std::size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, bytes, count);
  position_ = static_cast<std::int64_t>(end);
}

void TMemoryStream::SetSize(std::int64_t size) {
  bytes_.resize(static_cast<std::size_t>(size));
  position_ = std::min(position_, size);
}

namespace {

// Paths are UTF-8; Windows' narrow calls would read them in the system's code page.
std::FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
  return _wfopen(platform::Utf8Path(path).c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace

TFileReadStream::TFileReadStream(const std::string& path) : path_(path), file_(OpenForReading(path)) {
  if (file_ == nullptr) throw platform::EFOpenError(path, std::strerror(errno));
#ifndef _WIN32
  // POSIX opens a folder for reading; only the first read would fail.
  struct stat status {};
  if (::fstat(fileno(file_), &status) == 0 && S_ISDIR(status.st_mode)) {
    std::fclose(file_);
    throw platform::EFOpenError(path, std::strerror(EISDIR));
  }
#endif
  // Our reads are already in large chunks.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

TFileReadStream::~TFileReadStream() { std::fclose(file_); }

std::size_t TFileReadStream::Read(char* buffer, std::size_t count) {
  return std::fread(buffer, 1, count, file_);
}

void TFileReadStream::Write(const char*, std::size_t) {
  throw platform::EFOpenError(path_, std::strerror(EBADF));
}

std::int64_t TFileReadStream::Position() const { return Tell(file_); }

void TFileReadStream::SetPosition(std::int64_t position) { Seek(file_, position, SEEK_SET); }

std::int64_t TFileReadStream::Size() const {
  const std::int64_t position = Tell(file_);
  Seek(file_, 0, SEEK_END);
  const std::int64_t size = Tell(file_);
  Seek(file_, position, SEEK_SET);
  return size;
}

void TFileReadStream::SetSize(std::int64_t) { throw platform::EFOpenError(path_, std::strerror(EBADF)); }

}  // namespace ftp

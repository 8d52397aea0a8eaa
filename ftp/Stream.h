#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace ftp {

// A positioned byte stream: what uploads read from and downloads write to.
class TStream {
 public:
  virtual ~TStream() = default;
  // Up to `count` bytes from the position on; the count read, 0 at the end.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;
  virtual void Write(const char* bytes, std::size_t count) = 0;
  virtual std::int64_t Position() const = 0;
  virtual void SetPosition(std::int64_t position) = 0;
  virtual std::int64_t Size() const = 0;
  virtual void SetSize(std::int64_t size) = 0;
};

class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}
  const std::string& Bytes() const { return bytes_; }

  std::size_t Read(char* buffer, std::size_t count) override;
  void Write(const char* bytes, std::size_t count) override;
  std::int64_t Position() const override { return position_; }
  void SetPosition(std::int64_t position) override { position_ = position; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
  void SetSize(std::int64_t size) override;

 private:
  std::string bytes_;
  std::int64_t position_ = 0;
};

// A file opened for reading while others may read and write it. Opening a file that cannot be read
// raises platform::EFOpenError ("Cannot open file \"...\". <reason>").
class TFileReadStream final : public TStream {
 public:
  explicit TFileReadStream(const std::string& path);
  ~TFileReadStream() override;
  TFileReadStream(const TFileReadStream&) = delete;
  TFileReadStream& operator=(const TFileReadStream&) = delete;

  std::size_t Read(char* buffer, std::size_t count) override;
  void Write(const char* bytes, std::size_t count) override;
  std::int64_t Position() const override;
  void SetPosition(std::int64_t position) override;
  std::int64_t Size() const override;
  void SetSize(std::int64_t size) override;

 private:
  std::string path_;
  std::FILE* file_;
};

}  // namespace ftp

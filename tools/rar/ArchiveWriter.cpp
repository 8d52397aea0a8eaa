#include "tools/rar/ArchiveWriter.h"

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "tools/rar/Crc32.h"
#include "tools/rar/Encryption.h"
#include "tools/rar/Error.h"
#include "tools/rar/File.h"
#include "tools/rar/Headers.h"
#include "tools/rar/LzEncoder.h"

namespace rar {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// The first chunk must shrink by at least 1/kProbeMargin for the file to be compressed.
constexpr std::size_t kProbeMargin = 64;

std::string EntryName(const std::filesystem::path& input) {
  const auto name = input.filename().u8string();
  return std::string(name.begin(), name.end());
}

std::uint32_t ModificationDosTime(const std::filesystem::path& input) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(input, error);
  if (error) return DosDateTime(std::time(nullptr));
  const auto system = std::chrono::file_clock::to_sys(written);
  return DosDateTime(std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(system)));
}

// The archive under construction: a temporary file beside the final name, removed unless committed.
class PendingArchive {
 public:
  explicit PendingArchive(const std::filesystem::path& archive)
      : final_(archive), temporary_(TemporaryName(archive)), file_(File::CreateNew(temporary_, archive)) {}
  PendingArchive(const PendingArchive&) = delete;
  PendingArchive& operator=(const PendingArchive&) = delete;
  ~PendingArchive() {
    if (committed_) return;
    file_.reset();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }

  File& Out() { return *file_; }

  void Commit() {
    file_->Close();
    std::error_code error;
    std::filesystem::rename(temporary_, final_, error);
    if (error) {
      const auto name = final_.u8string();
      throw OutputError("cannot create \"" + std::string(name.begin(), name.end()) +
                        "\": " + error.message());
    }
    committed_ = true;
  }

 private:
  // A name beside the archive that no file holds yet, so that nobody else's file is overwritten. It keeps
  // the archive's stem and extension ("bkp1.tmp123456.rar"), so that whoever clears old archives by a
  // mask such as "bk*.rar" also clears what an archiver killed halfway left behind.
  static std::filesystem::path TemporaryName(const std::filesystem::path& archive) {
    std::random_device random;
    for (;;) {
      std::filesystem::path name = archive;
      name.replace_extension(".tmp" + std::to_string(random() % 1000000u));
      name += archive.extension();
      // A dangling link counts as taken: the exclusive creation would refuse it.
      std::error_code error;
      if (!std::filesystem::exists(std::filesystem::symlink_status(name, error))) return name;
    }
  }

  std::filesystem::path final_;
  std::filesystem::path temporary_;
  std::optional<File> file_;
  bool committed_ = false;
};

// Where the packed data goes: straight into the archive, or through the cipher first.
class PackedOutput {
 public:
  PackedOutput(File& out, const std::optional<CipherKey>& key) : out_(out) {
    if (key) cipher_.emplace(*key);
  }

  void Write(std::span<const std::uint8_t> data) {
    const std::span<const std::uint8_t> bytes = cipher_ ? cipher_->Update(data) : data;
    out_.Write(bytes);
    written_ += bytes.size();
  }

  // Writes the cipher's padded last block; returns the packed size, padding included.
  std::uint64_t Finish() {
    if (cipher_) {
      const std::span<const std::uint8_t> tail = cipher_->Finish();
      out_.Write(tail);
      written_ += tail.size();
    }
    return written_;
  }

 private:
  File& out_;
  std::optional<CbcEncryptor> cipher_;
  std::uint64_t written_ = 0;
};

// Writes the headers after the archive header: as they are, or, when the headers are encrypted, as the
// salt of their key followed by the header encrypted and padded to whole cipher blocks.
class HeaderOutput {
 public:
  HeaderOutput(File& out, const std::u16string& password, bool encrypt) : out_(out) {
    if (!encrypt) return;
    salt_ = NewSalt();
    key_ = DeriveKey(password, salt_);
  }

  void Write(std::span<const std::uint8_t> header) {
    if (!key_) {
      out_.Write(header);
      return;
    }
    out_.Write(salt_);
    out_.Write(EncryptPadded(*key_, header));
  }

 private:
  File& out_;
  Salt salt_{};
  std::optional<CipherKey> key_;
};

// Streams the input into the archive, compressed while that pays off. The first piece is compressed
// into memory to see whether the input compresses at all; if not, the whole file is stored.
// Returns false when the compressed data turned out no smaller than the input, in which case the
// caller writes the archive again with the input stored.
bool WriteData(File& source, PackedOutput& out, FileEntry& entry, bool compress) {
  Crc32 crc;
  std::vector<std::uint8_t> chunk(kChunk);
  auto readChunk = [&] {
    const std::size_t n = source.Read(chunk);
    crc.Update(std::span<const std::uint8_t>(chunk.data(), n));
    entry.unpackedSize += n;
    return n;
  };
  std::size_t count = readChunk();

  if (compress && count > 0) {
    std::vector<std::uint8_t> probe;
    bool probing = true;
    LzEncoder encoder([&](std::span<const std::uint8_t> bytes) {
      if (probing)
        probe.insert(probe.end(), bytes.begin(), bytes.end());
      else
        out.Write(bytes);
    });
    // A short first chunk is the whole file: its compressed size is then known exactly.
    const bool whole = count < chunk.size();
    encoder.Write(std::span<const std::uint8_t>(chunk.data(), count));
    if (whole)
      encoder.Finish();
    else
      encoder.FlushBlock();
    probing = false;
    if (probe.size() < count - count / kProbeMargin) {
      out.Write(probe);
      while ((count = readChunk()) > 0) encoder.Write(std::span<const std::uint8_t>(chunk.data(), count));
      encoder.Finish();
      entry.method = Method::Normal;
      entry.packedSize = out.Finish();
      entry.dictionarySize = encoder.LargestDistance();
      entry.crc = crc.Value();
      return encoder.PackedSize() < entry.unpackedSize;
    }
  }

  entry.method = Method::Store;
  for (; count > 0; count = readChunk()) out.Write(std::span<const std::uint8_t>(chunk.data(), count));
  entry.packedSize = out.Finish();
  entry.crc = crc.Value();
  return true;
}

// Writes the archive; false, with nothing written, when compression turned out not to pay off.
bool WriteArchive(const std::filesystem::path& archive, const std::filesystem::path& input, bool compress,
                  const ArchiveOptions& options) {
  const bool encrypt = !options.password.empty();
  File source = File::OpenForReading(input);
  std::error_code sizeError;
  const std::uintmax_t expectedSize = std::filesystem::file_size(input, sizeError);

  FileEntry entry;
  entry.name = EntryName(input);
  entry.dosTime = ModificationDosTime(input);
  // Compressed data is kept only when smaller than the input, so the input size (with the cipher's
  // padding) decides.
  entry.largeSizes = !sizeError && expectedSize + (encrypt ? kCipherBlockSize : 0) >= kLargeFileThreshold;
  std::optional<CipherKey> dataKey;
  if (encrypt) {
    entry.salt = NewSalt();
    dataKey = DeriveKey(options.password, *entry.salt);
  }

  PendingArchive pending(archive);
  File& out = pending.Out();
  out.Write(kMarkerBlock);
  const std::vector<std::uint8_t> main = MainHeader(encrypt && options.encryptHeaders);
  out.Write(main);
  HeaderOutput headers(out, options.password, encrypt && options.encryptHeaders);
  const std::uint64_t headerOffset = kMarkerBlock.size() + main.size();
  headers.Write(FileHeader(entry));

  PackedOutput packed(out, dataKey);
  if (!WriteData(source, packed, entry, compress)) return false;
  if (!entry.largeSizes && entry.unpackedSize >= kLargeFileThreshold)
    throw InputError("the file grew while it was being archived");

  headers.Write(kEndOfArchiveBlock);
  // The header keeps its length, so it fits its place again (encrypted, under the same key).
  out.Seek(headerOffset);
  headers.Write(FileHeader(entry));
  pending.Commit();
  return true;
}

}  // namespace

void CreateArchive(const std::filesystem::path& archive, const std::filesystem::path& input,
                   const ArchiveOptions& options) {
  if (options.password.size() > kMaxPasswordUnits)
    throw Error("the password is longer than " + std::to_string(kMaxPasswordUnits) + " characters");
  // The stored attempt starts once the compressed one has let go of its input and removed its file.
  if (!WriteArchive(archive, input, options.compress, options)) WriteArchive(archive, input, false, options);
}

}  // namespace rar

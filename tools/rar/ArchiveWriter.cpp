#include "tools/rar/ArchiveWriter.h"

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "tools/rar/Crc32.h"
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

// Streams the input into the archive, compressed while that pays off. The first piece is compressed
// into memory to see whether the input compresses at all; if not, the whole file is stored.
// Returns false when the compressed data turned out no smaller than the input, in which case the
// caller writes the archive again with the input stored.
bool WriteData(File& source, File& out, FileEntry& entry, bool compress) {
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
      entry.packedSize = encoder.PackedSize();
      entry.dictionarySize = encoder.LargestDistance();
      entry.crc = crc.Value();
      return entry.packedSize < entry.unpackedSize;
    }
  }

  entry.method = Method::Store;
  for (; count > 0; count = readChunk()) out.Write(std::span<const std::uint8_t>(chunk.data(), count));
  entry.packedSize = entry.unpackedSize;
  entry.crc = crc.Value();
  return true;
}

// Writes the archive; false, with nothing written, when compression turned out not to pay off.
bool WriteArchive(const std::filesystem::path& archive, const std::filesystem::path& input, bool compress) {
  File source = File::OpenForReading(input);
  std::error_code sizeError;
  const std::uintmax_t expectedSize = std::filesystem::file_size(input, sizeError);

  FileEntry entry;
  entry.name = EntryName(input);
  entry.dosTime = ModificationDosTime(input);
  // Compressed data is kept only when smaller than the input, so the input size decides.
  entry.largeSizes = !sizeError && expectedSize >= kLargeFileThreshold;

  PendingArchive pending(archive);
  File& out = pending.Out();
  out.Write(kMarkerBlock);
  const std::vector<std::uint8_t> main = MainHeader();
  out.Write(main);
  const std::uint64_t headerOffset = kMarkerBlock.size() + main.size();
  out.Write(FileHeader(entry));

  if (!WriteData(source, out, entry, compress)) return false;
  if (!entry.largeSizes && entry.unpackedSize >= kLargeFileThreshold)
    throw InputError("the file grew while it was being archived");

  out.Write(kEndOfArchiveBlock);
  out.Seek(headerOffset);
  out.Write(FileHeader(entry));
  pending.Commit();
  return true;
}

}  // namespace

void CreateArchive(const std::filesystem::path& archive, const std::filesystem::path& input,
                   const ArchiveOptions& options) {
  // The stored attempt starts once the compressed one has let go of its input and removed its file.
  if (!WriteArchive(archive, input, options.compress)) WriteArchive(archive, input, false);
}

}  // namespace rar

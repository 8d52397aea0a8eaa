#include "tests/tools/rar/InMemoryArchive.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "tools/rar/Crc32.h"
#include "tools/rar/Headers.h"

namespace rar::testing {

std::vector<std::uint8_t> WrapCompressed(std::span<const std::uint8_t> packed,
                                         std::span<const std::uint8_t> original,
                                         std::uint32_t largestDistance) {
  FileEntry entry;
  entry.name = "f.bk";
  entry.packedSize = packed.size();
  entry.unpackedSize = original.size();
  entry.crc = Crc32::Of(original);
  entry.method = Method::Normal;
  entry.dictionarySize = largestDistance;

  std::vector<std::uint8_t> bytes(kMarkerBlock.begin(), kMarkerBlock.end());
  const std::vector<std::uint8_t> main = MainHeader();
  const std::vector<std::uint8_t> file = FileHeader(entry);
  bytes.insert(bytes.end(), main.begin(), main.end());
  bytes.insert(bytes.end(), file.begin(), file.end());
  bytes.insert(bytes.end(), packed.begin(), packed.end());
  bytes.insert(bytes.end(), kEndOfArchiveBlock.begin(), kEndOfArchiveBlock.end());
  return bytes;
}

std::optional<std::vector<std::uint8_t>> ExtractWithLibarchive(std::span<const std::uint8_t> archive,
                                                               std::size_t expectedSize) {
  const std::unique_ptr<struct archive, decltype(&archive_read_free)> reader(archive_read_new(),
                                                                             archive_read_free);
  archive_read_support_format_rar(reader.get());
  if (archive_read_open_memory(reader.get(), archive.data(), archive.size()) != ARCHIVE_OK)
    return std::nullopt;
  archive_entry* entry = nullptr;
  if (archive_read_next_header(reader.get(), &entry) != ARCHIVE_OK) return std::nullopt;
  std::vector<std::uint8_t> out(expectedSize + 1);
  std::size_t total = 0;
  for (;;) {
    const la_ssize_t n = archive_read_data(reader.get(), out.data() + total, out.size() - total);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
    if (total == out.size()) return std::nullopt;
  }
  out.resize(total);
  return out;
}

}  // namespace rar::testing

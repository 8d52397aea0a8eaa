// Compresses arbitrary input and checks that libarchive reads the archive back byte for byte.
#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "tools/rar/Crc32.h"
#include "tools/rar/Headers.h"
#include "tools/rar/LzEncoder.h"

namespace {

std::vector<std::uint8_t> Archive(std::span<const std::uint8_t> input, bool flushHalfway) {
  std::vector<std::uint8_t> packed;
  rar::LzEncoder encoder(
      [&](std::span<const std::uint8_t> bytes) { packed.insert(packed.end(), bytes.begin(), bytes.end()); });
  const std::size_t half = flushHalfway ? input.size() / 2 : input.size();
  encoder.Write(input.first(half));
  if (flushHalfway) encoder.FlushBlock();
  encoder.Write(input.subspan(half));
  encoder.Finish();

  rar::FileEntry entry;
  entry.name = "f.bk";
  entry.packedSize = packed.size();
  entry.unpackedSize = input.size();
  entry.crc = rar::Crc32::Of(input);
  entry.method = rar::Method::Normal;
  entry.dictionarySize = encoder.LargestDistance();

  std::vector<std::uint8_t> rarFile(rar::kMarkerBlock.begin(), rar::kMarkerBlock.end());
  for (const auto& part : {rar::MainHeader(), rar::FileHeader(entry), packed})
    rarFile.insert(rarFile.end(), part.begin(), part.end());
  rarFile.insert(rarFile.end(), rar::kEndOfArchiveBlock.begin(), rar::kEndOfArchiveBlock.end());
  return rarFile;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An empty entry is always stored; the compressed stream needs at least one byte.
  if (size < 2) return 0;
  const std::span<const std::uint8_t> input(data + 1, size - 1);
  const std::vector<std::uint8_t> rarFile = Archive(input, (data[0] & 1) != 0);

  archive* reader = archive_read_new();
  archive_read_support_format_rar(reader);
  if (archive_read_open_memory(reader, rarFile.data(), rarFile.size()) != ARCHIVE_OK) std::abort();
  archive_entry* entry = nullptr;
  if (archive_read_next_header(reader, &entry) != ARCHIVE_OK) std::abort();
  std::vector<std::uint8_t> out(input.size() + 1);
  std::size_t total = 0;
  for (;;) {
    const la_ssize_t n = archive_read_data(reader, out.data() + total, out.size() - total);
    if (n < 0) std::abort();
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
    if (total == out.size()) std::abort();  // more bytes than went in
  }
  if (total != input.size() || std::memcmp(out.data(), input.data(), total) != 0) std::abort();
  archive_read_free(reader);
  return 0;
}

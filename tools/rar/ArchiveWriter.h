#pragma once

#include <filesystem>
#include <string>

namespace rar {

struct ArchiveOptions {
  bool compress = true;  // false: always store
  // Not empty: the packed data is encrypted under this password (at most kMaxPasswordUnits units).
  std::u16string password{};
  // With a password: the headers are encrypted as well, so that the file's name and size are hidden too.
  bool encryptHeaders = false;
};

// Writes `archive` as a new RAR 4 archive holding the file `input` under its bare name, replacing an
// existing archive of that name. The archive is written under a temporary name beside it and renamed
// only once complete, so a failure leaves no partial archive behind. Reads the input in chunks, once, or
// twice when the compressed data turns out no smaller than the input and the input is stored instead.
// Throws InputError or OutputError, or Error for a password out of bounds.
void CreateArchive(const std::filesystem::path& archive, const std::filesystem::path& input,
                   const ArchiveOptions& options = {});

}  // namespace rar

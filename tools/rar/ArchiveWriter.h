#pragma once

#include <filesystem>

namespace rar {

struct ArchiveOptions {
  bool compress = true;  // false: always store
};

// Writes `archive` as a new RAR 4 archive holding the file `input` under its bare name, replacing an
// existing archive of that name. The archive is written under a temporary name beside it and renamed
// only once complete, so a failure leaves no partial archive behind. Reads the input in chunks, once, or
// twice when the compressed data turns out no smaller than the input and the input is stored instead.
// Throws InputError or OutputError.
void CreateArchive(const std::filesystem::path& archive, const std::filesystem::path& input,
                   const ArchiveOptions& options = {});

}  // namespace rar

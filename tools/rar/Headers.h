#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "tools/rar/Encryption.h"

namespace rar {

inline constexpr std::array<std::uint8_t, 7> kMarkerBlock = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
inline constexpr std::array<std::uint8_t, 7> kEndOfArchiveBlock = {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00};

enum class Method : std::uint8_t { Store = 0x30, Normal = 0x33 };

// Sizes at or above this need the high halves that the large-file flag adds to the file header.
inline constexpr std::uint64_t kLargeFileThreshold = std::uint64_t{1} << 31;

struct FileEntry {
  std::string name;  // UTF-8, no folder
  std::uint64_t packedSize = 0;
  std::uint64_t unpackedSize = 0;
  std::uint32_t crc = 0;
  std::uint32_t dosTime = 0;
  Method method = Method::Store;
  std::uint32_t dictionarySize = 0;  // largest match distance; compressed entries only
  bool largeSizes = false;           // must be chosen before the header is first written: it changes its size
  // Set when the packed data is encrypted, with the salt of its key; the packed size then counts the
  // padding of the last cipher block, while the CRC stays that of the file's own bytes.
  std::optional<Salt> salt;
};

// The archive header; `encryptedHeaders` tells readers that every header after it is encrypted.
std::vector<std::uint8_t> MainHeader(bool encryptedHeaders = false);
std::vector<std::uint8_t> FileHeader(const FileEntry& entry);
// MS-DOS date and time of a moment in the local time zone, at 2 s resolution; clamped to 1980..2107.
std::uint32_t DosDateTime(std::time_t moment);

}  // namespace rar

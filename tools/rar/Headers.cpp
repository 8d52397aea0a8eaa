#include "tools/rar/Headers.h"

#include <algorithm>

#include "tools/rar/Crc32.h"
#include "tools/rar/Error.h"

namespace rar {

namespace {

constexpr std::uint8_t kMainHeaderType = 0x73;
constexpr std::uint8_t kFileHeaderType = 0x74;
constexpr std::uint16_t kFlagLongBlock = 0x8000;         // the block's data size follows the header
constexpr std::uint16_t kFlagEncryptedHeaders = 0x0080;  // archive header: the headers after it are encrypted
constexpr std::uint16_t kFlagEncrypted = 0x0004;         // file header: the packed data is encrypted
constexpr std::uint16_t kFlagSalt = 0x0400;              // file header: the data's salt follows the name
constexpr std::uint16_t kFlagLargeSizes = 0x0100;
constexpr std::uint16_t kFlagUtf8Name = 0x0200;
constexpr std::uint8_t kHostWin32 = 2;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint8_t kStoreVersion = 20;
constexpr std::uint8_t kCompressedVersion = 29;
// Readers take the version needed to extract as the encryption scheme too: below 29 they would use the
// older ciphers, so AES-encrypted entries say 29 even when stored.
constexpr std::uint8_t kEncryptedVersion = 29;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFFu);
  Put16(out, value >> 16);
}

// Fills in HEAD_SIZE and HEAD_CRC of a header built with both left as zero.
std::vector<std::uint8_t> Seal(std::vector<std::uint8_t> header) {
  if (header.size() > 0xFFFF) throw Error("RAR header too long");
  header[5] = static_cast<std::uint8_t>(header.size());
  header[6] = static_cast<std::uint8_t>(header.size() >> 8);
  const std::uint32_t crc = Crc32::Of(std::span(header).subspan(2));
  header[0] = static_cast<std::uint8_t>(crc);
  header[1] = static_cast<std::uint8_t>(crc >> 8);
  return header;
}

std::vector<std::uint8_t> Start(std::uint8_t type, std::uint16_t flags) {
  std::vector<std::uint8_t> header = {0, 0, type};
  Put16(header, flags);
  Put16(header, 0);
  return header;
}

// Bits 5-7 of the file flags: the dictionary as 64 KB << n, n up to 6 (4 MB).
std::uint16_t DictionaryFlags(std::uint32_t largestDistance) {
  std::uint16_t n = 0;
  while (n < 6 && (std::uint32_t{64 * 1024} << n) < largestDistance) ++n;
  return static_cast<std::uint16_t>(n << 5);
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::vector<std::uint8_t> MainHeader(bool encryptedHeaders) {
  std::vector<std::uint8_t> header = Start(kMainHeaderType, encryptedHeaders ? kFlagEncryptedHeaders : 0);
  Put16(header, 0);
  Put32(header, 0);
  return Seal(std::move(header));
}

std::vector<std::uint8_t> FileHeader(const FileEntry& entry) {
  const bool compressed = entry.method != Method::Store;
  std::uint16_t flags = kFlagLongBlock;
  if (compressed) flags |= DictionaryFlags(entry.dictionarySize);
  if (entry.largeSizes) flags |= kFlagLargeSizes;
  if (!IsAscii(entry.name)) flags |= kFlagUtf8Name;
  if (entry.salt) flags |= kFlagEncrypted | kFlagSalt;
  if (!entry.largeSizes &&
      (entry.packedSize >= kLargeFileThreshold || entry.unpackedSize >= kLargeFileThreshold))
    throw Error("RAR sizes need the large-file header");

  std::vector<std::uint8_t> header = Start(kFileHeaderType, flags);
  Put32(header, static_cast<std::uint32_t>(entry.packedSize));
  Put32(header, static_cast<std::uint32_t>(entry.unpackedSize));
  header.push_back(kHostWin32);
  Put32(header, entry.crc);
  Put32(header, entry.dosTime);
  header.push_back(entry.salt ? kEncryptedVersion : compressed ? kCompressedVersion : kStoreVersion);
  header.push_back(static_cast<std::uint8_t>(entry.method));
  Put16(header, static_cast<std::uint32_t>(entry.name.size()));
  Put32(header, kAttributeArchive);
  if (entry.largeSizes) {
    Put32(header, static_cast<std::uint32_t>(entry.packedSize >> 32));
    Put32(header, static_cast<std::uint32_t>(entry.unpackedSize >> 32));
  }
  header.insert(header.end(), entry.name.begin(), entry.name.end());
  if (entry.salt) header.insert(header.end(), entry.salt->begin(), entry.salt->end());
  return Seal(std::move(header));
}

std::uint32_t DosDateTime(std::time_t moment) {
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &moment) != 0) return 0x00210000u;  // 1980-01-01 00:00:00
#else
  if (localtime_r(&moment, &local) == nullptr) return 0x00210000u;
#endif
  const int year = local.tm_year + 1900;
  if (year < 1980) return 0x00210000u;
  if (year > 2107) return 0xFF9FBF7Du;  // 2107-12-31 23:59:58
  return static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(local.tm_mon + 1) << 21 |
         static_cast<std::uint32_t>(local.tm_mday) << 16 | static_cast<std::uint32_t>(local.tm_hour) << 11 |
         static_cast<std::uint32_t>(local.tm_min) << 5 | static_cast<std::uint32_t>(local.tm_sec / 2);
}

}  // namespace rar

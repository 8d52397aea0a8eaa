#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rar {

// RAR 4 encryption: AES-128 in CBC mode, with the key and the initial vector derived from the password
// and an 8-byte salt. Each salt gives its own key, so every encrypted file and every encrypted header
// block carries the salt it was encrypted with.
inline constexpr std::size_t kSaltSize = 8;
inline constexpr std::size_t kCipherBlockSize = 16;
// The longest password, in UTF-16 units, that every reader of the format takes whole: some readers cut
// longer ones at this length, others one unit later, and the two would derive different keys.
inline constexpr std::size_t kMaxPasswordUnits = 126;

using Salt = std::array<std::uint8_t, kSaltSize>;

struct CipherKey {
  std::array<std::uint8_t, 16> key{};
  std::array<std::uint8_t, kCipherBlockSize> iv{};
};

// A fresh salt from the system's random generator. Throws Error when the system gives none.
Salt NewSalt();

// The format's key derivation. The password's UTF-16LE bytes followed by the salt ("seed") are hashed
// with SHA-1 2^18 times over, each copy of the seed followed by the round number as 3 little-endian
// bytes, all in one running hash. Every 2^14 rounds, starting with round 0, the last byte of the digest
// of the hash so far becomes the next byte of the initial vector (16 bytes in all). The final digest's
// first four 32-bit words, each taken with its bytes reversed, are the key.
// One quirk belongs to the format: the hash the format was defined with rewrote each 64-byte block it
// took straight from the seed with that block's last 16 expanded message words, so a seed of 65 bytes or
// more (passwords of 29 characters or more) is not the same from round to round. Readers reproduce it,
// and so does this derivation.
CipherKey DeriveKey(std::u16string_view password, const Salt& salt);

// Encrypts a stream of any length, padding the last block with zeros: readers know the real length
// from the header and drop the padding.
class CbcEncryptor {
 public:
  explicit CbcEncryptor(const CipherKey& key);
  CbcEncryptor(const CbcEncryptor&) = delete;
  CbcEncryptor& operator=(const CbcEncryptor&) = delete;
  ~CbcEncryptor();

  // Encrypts what completes whole blocks and returns it; the rest waits for more data or Finish.
  std::span<const std::uint8_t> Update(std::span<const std::uint8_t> data);
  // The padded last block; empty when the data filled whole blocks.
  std::span<const std::uint8_t> Finish();

 private:
  void* context_;
  std::vector<std::uint8_t> output_;
  std::size_t pending_ = 0;  // bytes held back by the cipher for the next block
};

// One whole block of data encrypted and padded: encrypted header blocks are written this way.
std::vector<std::uint8_t> EncryptPadded(const CipherKey& key, std::span<const std::uint8_t> data);

}  // namespace rar

#include "tools/rar/Encryption.h"

#include <openssl/evp.h>

#include <memory>

#include "tools/rar/Error.h"
#include "tools/rar/SystemRandom.h"

namespace rar {

namespace {

constexpr std::uint32_t kRounds = 1u << 18;
constexpr std::uint32_t kRoundsPerIvByte = kRounds / kCipherBlockSize;
constexpr std::size_t kHashBlock = 64;

struct DigestContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextFree>;

void Check(int result, const char* what) {
  if (result != 1) throw Error(std::string("encryption failed: ") + what);
}

DigestContext NewSha1() {
  DigestContext context(EVP_MD_CTX_new());
  if (!context) throw Error("encryption failed: no memory for SHA-1");
  Check(EVP_DigestInit_ex(context.get(), EVP_sha1(), nullptr), "SHA-1");
  return context;
}

std::uint32_t RotateLeft(std::uint32_t value, int bits) { return value << bits | value >> (32 - bits); }

// Replaces a 64-byte block by the last 16 words of its SHA-1 message schedule, little-endian: what the
// hash the format was defined with left in a block it had processed in place.
void ReplaceByScheduleTail(std::uint8_t* block) {
  std::array<std::uint32_t, 80> words{};
  for (std::size_t i = 0; i < 16; ++i)
    words[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | block[4 * i + 3];
  for (std::size_t i = 16; i < 80; ++i)
    words[i] = RotateLeft(words[i - 3] ^ words[i - 8] ^ words[i - 14] ^ words[i - 16], 1);
  for (std::size_t i = 0; i < 16; ++i)
    for (std::size_t b = 0; b < 4; ++b)
      block[4 * i + b] = static_cast<std::uint8_t>(words[64 + i] >> (8 * b));
}

// Hashes the seed, then rewrites the blocks the format's hash would have taken whole from it: those
// that start where the hash's 64-byte block boundaries fall inside the seed after the first one.
void HashSeed(EVP_MD_CTX* hash, std::vector<std::uint8_t>& seed, std::uint64_t& hashedBytes) {
  Check(EVP_DigestUpdate(hash, seed.data(), seed.size()), "SHA-1");
  const std::size_t buffered = hashedBytes % kHashBlock;
  hashedBytes += seed.size();
  if (buffered + seed.size() < kHashBlock) return;
  for (std::size_t start = kHashBlock - buffered; start + kHashBlock <= seed.size(); start += kHashBlock)
    ReplaceByScheduleTail(seed.data() + start);
}

std::array<std::uint8_t, 20> DigestSoFar(EVP_MD_CTX* hash) {
  DigestContext copy(EVP_MD_CTX_new());
  if (!copy) throw Error("encryption failed: no memory for SHA-1");
  Check(EVP_MD_CTX_copy_ex(copy.get(), hash), "SHA-1");
  std::array<std::uint8_t, 20> digest{};
  unsigned int length = 0;
  Check(EVP_DigestFinal_ex(copy.get(), digest.data(), &length), "SHA-1");
  return digest;
}

EVP_CIPHER_CTX* Cipher(void* context) { return static_cast<EVP_CIPHER_CTX*>(context); }

}  // namespace

Salt NewSalt() {
  Salt salt{};
  FillWithSystemRandom(salt);
  return salt;
}

CipherKey DeriveKey(std::u16string_view password, const Salt& salt) {
  std::vector<std::uint8_t> seed;
  seed.reserve(password.size() * 2 + salt.size());
  for (const char16_t unit : password) {
    seed.push_back(static_cast<std::uint8_t>(unit));
    seed.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  seed.insert(seed.end(), salt.begin(), salt.end());

  CipherKey result;
  const DigestContext hash = NewSha1();
  std::uint64_t hashedBytes = 0;
  for (std::uint32_t round = 0; round < kRounds; ++round) {
    HashSeed(hash.get(), seed, hashedBytes);
    const std::array<std::uint8_t, 3> number = {static_cast<std::uint8_t>(round),
                                                static_cast<std::uint8_t>(round >> 8),
                                                static_cast<std::uint8_t>(round >> 16)};
    Check(EVP_DigestUpdate(hash.get(), number.data(), number.size()), "SHA-1");
    hashedBytes += number.size();
    if (round % kRoundsPerIvByte == 0) result.iv[round / kRoundsPerIvByte] = DigestSoFar(hash.get())[19];
  }
  std::array<std::uint8_t, 20> digest{};
  unsigned int length = 0;
  Check(EVP_DigestFinal_ex(hash.get(), digest.data(), &length), "SHA-1");
  for (std::size_t word = 0; word < 4; ++word)
    for (std::size_t b = 0; b < 4; ++b) result.key[word * 4 + b] = digest[word * 4 + 3 - b];
  return result;
}

CbcEncryptor::CbcEncryptor(const CipherKey& key) : context_(EVP_CIPHER_CTX_new()) {
  if (context_ == nullptr) throw Error("encryption failed: no memory for AES");
  if (EVP_EncryptInit_ex(Cipher(context_), EVP_aes_128_cbc(), nullptr, key.key.data(), key.iv.data()) != 1 ||
      EVP_CIPHER_CTX_set_padding(Cipher(context_), 0) != 1) {
    EVP_CIPHER_CTX_free(Cipher(context_));
    throw Error("encryption failed: AES-128");
  }
}

CbcEncryptor::~CbcEncryptor() { EVP_CIPHER_CTX_free(Cipher(context_)); }

std::span<const std::uint8_t> CbcEncryptor::Update(std::span<const std::uint8_t> data) {
  output_.resize(pending_ + data.size());
  int written = 0;
  Check(EVP_EncryptUpdate(Cipher(context_), output_.data(), &written, data.data(),
                          static_cast<int>(data.size())),
        "AES-128");
  pending_ = (pending_ + data.size()) % kCipherBlockSize;
  return std::span<const std::uint8_t>(output_.data(), static_cast<std::size_t>(written));
}

std::span<const std::uint8_t> CbcEncryptor::Finish() {
  if (pending_ == 0) return {};
  const std::array<std::uint8_t, kCipherBlockSize> zeros{};
  return Update(std::span(zeros).first(kCipherBlockSize - pending_));
}

std::vector<std::uint8_t> EncryptPadded(const CipherKey& key, std::span<const std::uint8_t> data) {
  CbcEncryptor encryptor(key);
  std::vector<std::uint8_t> out;
  const auto body = encryptor.Update(data);
  out.assign(body.begin(), body.end());
  const auto tail = encryptor.Finish();
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

}  // namespace rar

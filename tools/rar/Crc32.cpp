#include "tools/rar/Crc32.h"

#include <array>

namespace rar {

namespace {

// Eight tables let the loop take eight bytes per step; the archive's CRC covers every input byte.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
  Tables tables{};
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    std::uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) ? 0xEDB88320u : 0u);
    tables[0][byte] = crc;
  }
  for (std::size_t byte = 0; byte < 256; ++byte) {
    for (std::size_t t = 1; t < 8; ++t) {
      const std::uint32_t previous = tables[t - 1][byte];
      tables[t][byte] = (previous >> 8) ^ tables[0][previous & 0xFFu];
    }
  }
  return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

void Crc32::Update(std::span<const std::uint8_t> data) {
  std::uint32_t crc = state_;
  const std::uint8_t* p = data.data();
  std::size_t left = data.size();
  while (left >= 8) {
    const std::uint32_t low = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
    crc = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^ kTables[5][(low >> 16) & 0xFFu] ^
          kTables[4][low >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    p += 8;
    left -= 8;
  }
  while (left-- > 0) crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFFu];
  state_ = crc;
}

std::uint32_t Crc32::Of(std::span<const std::uint8_t> data) {
  Crc32 crc;
  crc.Update(data);
  return crc.Value();
}

}  // namespace rar

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace rar {

// The reflected CRC-32 (polynomial 0xEDB88320) that RAR uses for headers and file data.
class Crc32 {
 public:
  void Update(std::span<const std::uint8_t> data);
  std::uint32_t Value() const { return ~state_; }

  static std::uint32_t Of(std::span<const std::uint8_t> data);

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace rar

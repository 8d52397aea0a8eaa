#pragma once

#include <array>
#include <cstdint>

// The symbols of the RAR 2.9 LZ stream and the slot tables that turn lengths and distances into
// a symbol plus extra bits.
namespace rar::alphabet {

inline constexpr unsigned kMainSize = 299;
inline constexpr unsigned kDistanceSize = 60;
inline constexpr unsigned kLowDistanceSize = 17;
inline constexpr unsigned kLengthSize = 28;
inline constexpr unsigned kTablesSize = kMainSize + kDistanceSize + kLowDistanceSize + kLengthSize;  // 404
inline constexpr unsigned kPrecodeSize = 20;
inline constexpr unsigned kMaxCodeLength = 15;

inline constexpr unsigned kEndOfBlock = 256;
inline constexpr unsigned kRepeatLastMatch = 258;  // same distance and length as the last match
inline constexpr unsigned kRepeatDistance = 259;   // + index 0..3 into the recent distances
inline constexpr unsigned kShortMatch = 263;       // + short distance slot, length 2
inline constexpr unsigned kNewMatch = 271;         // + length slot, a distance follows

inline constexpr unsigned kMinRepeatLength = 2;
inline constexpr unsigned kMaxMatchLength = 257;
inline constexpr std::uint32_t kMaxDistance = 0x3FFFFF;

inline constexpr std::array<std::uint8_t, kLengthSize> kLengthBase = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
    24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
inline constexpr std::array<std::uint8_t, kLengthSize> kLengthBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
inline constexpr std::array<std::uint8_t, 8> kShortBase = {0, 4, 8, 16, 32, 64, 128, 192};
inline constexpr std::array<std::uint8_t, 8> kShortBits = {2, 2, 3, 4, 5, 6, 6, 6};

struct DistanceSlots {
  std::array<std::uint32_t, kDistanceSize> base{};
  std::array<std::uint8_t, kDistanceSize> bits{};
};

constexpr DistanceSlots MakeDistanceSlots() {
  DistanceSlots slots;
  std::uint32_t base = 0;
  for (unsigned ds = 0; ds < kDistanceSize; ++ds) {
    std::uint8_t bits = 0;
    if (ds >= 48)
      bits = 18;
    else if (ds >= 36)
      bits = 16;
    else if (ds >= 4)
      bits = static_cast<std::uint8_t>(ds / 2 - 1);
    slots.base[ds] = base;
    slots.bits[ds] = bits;
    base += std::uint32_t{1} << bits;
  }
  return slots;
}

inline constexpr DistanceSlots kDistanceSlots = MakeDistanceSlots();
// Slots above this one send their lowest four extra bits through the low-distance table.
inline constexpr unsigned kLastRawDistanceSlot = 9;

// A match of a new distance carries a length shortened by one for distances from 8 KB and by one more
// from 256 KB; the shortened length must lie in 3..258.
constexpr unsigned LengthBonus(std::uint32_t distance) {
  return (distance >= 0x2000 ? 1u : 0u) + (distance >= 0x40000 ? 1u : 0u);
}
constexpr unsigned MinNewMatchLength(std::uint32_t distance) { return 3 + LengthBonus(distance); }

}  // namespace rar::alphabet

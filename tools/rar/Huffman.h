#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rar {

// Code lengths for the given symbol counts, none longer than alphabet::kMaxCodeLength, forming a complete
// code (the Kraft sum is exactly 1), as the readers require of every table they read. A table with fewer than
// two used symbols gets a partner symbol so that it still is complete.
std::vector<std::uint8_t> HuffmanLengths(std::span<const std::uint32_t> counts);

// Canonical codes for the lengths: shorter codes first, and by symbol order within a length.
std::vector<std::uint16_t> CanonicalCodes(std::span<const std::uint8_t> lengths);

}  // namespace rar

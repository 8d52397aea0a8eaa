#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rar::testing {

// A whole one-entry archive around a compressed stream, built in memory.
std::vector<std::uint8_t> WrapCompressed(std::span<const std::uint8_t> packed,
                                         std::span<const std::uint8_t> original,
                                         std::uint32_t largestDistance);

// The entry's bytes as libarchive extracts them; empty when it reports an error or yields more than
// `expectedSize` bytes.
std::optional<std::vector<std::uint8_t>> ExtractWithLibarchive(std::span<const std::uint8_t> archive,
                                                               std::size_t expectedSize);

}  // namespace rar::testing

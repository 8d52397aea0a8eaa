#pragma once

#include <cstdint>

namespace rar {

// One step of the parse: a literal byte (length 0, the byte in `value`) or a match (`length` bytes
// from `value` bytes back).
struct Token {
  std::uint32_t length;
  std::uint32_t value;
};

}  // namespace rar

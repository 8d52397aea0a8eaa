#pragma once

#include <cstdint>
#include <span>

namespace rar {

// Fills `bytes` from the operating system's cryptographic random generator. Throws Error when it fails.
void FillWithSystemRandom(std::span<std::uint8_t> bytes);

}  // namespace rar

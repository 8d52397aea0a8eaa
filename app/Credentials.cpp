#include "app/Credentials.h"

#include <algorithm>

#include "platform/Encoding.h"

namespace app {
namespace {

// Reverses the codes, then shifts them by +1 at even and -1 at odd 1-based positions (or the opposite
// when `oddPositionsUp`), wrapping modulo 256.
std::string ReverseAndShift(std::string_view text, bool oddPositionsUp) {
  std::string codes = platform::Utf8ToCp1252(text);
  std::reverse(codes.begin(), codes.end());
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const bool oddPosition = i % 2 == 0;
    const int shift = oddPosition == oddPositionsUp ? 1 : -1;
    codes[i] = static_cast<char>(static_cast<unsigned char>(codes[i]) + shift);
  }
  return platform::Cp1252ToUtf8(codes);
}

std::size_t CodeCount(std::string_view text) { return platform::Utf8ToCp1252(text).size(); }

}  // namespace

std::string ScrambleCredential(std::string_view text) { return ReverseAndShift(text, false); }

std::string UnscrambleCredential(std::string_view text) {
  return ReverseAndShift(text, CodeCount(text) % 2 == 1);
}

}  // namespace app

#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
#include "platform/Encoding.h"
#endif

namespace ibservice {

// Texts cross the client library in the client's 8-bit code page: the ANSI page on Windows, and on
// POSIX the bytes of the file system's encoding, which is UTF-8 like the program's own texts.
inline std::string ToClientText(std::string_view text) {
#ifdef _WIN32
  return platform::Utf8ToCp1252(text);
#else
  return std::string(text);
#endif
}

inline std::string FromClientText(std::string_view bytes) {
#ifdef _WIN32
  return platform::Cp1252ToUtf8(bytes);
#else
  return std::string(bytes);
#endif
}

}  // namespace ibservice

#pragma once

#include <string>
#include <string_view>

namespace platform {

// Windows-1252 bytes to UTF-8; the five undefined codes map to the C1 controls of the same number.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252 bytes; characters the code page lacks and malformed bytes become '?'.
std::string Utf8ToCp1252(std::string_view text);
// The code point of one Windows-1252 byte (the undefined codes as in Cp1252ToUtf8).
char32_t Cp1252CodePoint(unsigned char byte);
// Letter case folding of the Latin letters the program's names can hold (ASCII and Windows-1252).
char32_t FoldCase(char32_t c);
// UTF-8 to code points; malformed bytes become U+FFFD, one for each byte.
std::u32string Utf8ToUtf32(std::string_view text);

}  // namespace platform

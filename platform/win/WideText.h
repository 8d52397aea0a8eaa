#pragma once

#include <string>
#include <string_view>

namespace platform::win {

// Text is UTF-8 in memory and UTF-16 in the Windows "W" calls; these convert at that boundary.
// Malformed UTF-8 becomes U+FFFD, so a bad name fails the call it is passed to instead of naming
// another file.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace platform::win

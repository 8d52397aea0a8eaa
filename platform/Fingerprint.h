#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A SHA-256 fingerprint as people write it (64 hexadecimal digits, either case, colons anywhere) in
// its one canonical form: upper-case pairs joined by colons. Empty stays empty; anything else that is
// not such a fingerprint gives nothing.
std::optional<std::string> CanonicalFingerprint(std::string_view text);

}  // namespace platform

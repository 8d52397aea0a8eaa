#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// A SHA-256 fingerprint as people copy it (64 hexadecimal digits, either case, colons or blanks between
// them, optionally after openssl's "sha256 Fingerprint=" or "SHA256:") in its one canonical form:
// upper-case pairs joined by colons. Empty stays empty; anything else that is not such a fingerprint
// gives nothing.
std::optional<std::string> CanonicalFingerprint(std::string_view text);

// The canonical form of a digest's bytes.
std::string FingerprintText(std::span<const unsigned char> digest);

}  // namespace platform

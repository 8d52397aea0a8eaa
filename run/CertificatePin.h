#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace run {

// The SHA-256 of a server certificate (its DER bytes): the pin a user sets for a server whose certificate
// the system's roots do not vouch for.
using Sha256Fingerprint = std::array<unsigned char, 32>;

// Reads a pin as people copy it: 64 hexadecimal digits, in either case, with or without ":" (or blanks)
// between the pairs, optionally after "SHA256:" or "sha256 Fingerprint=". Empty when it is none.
std::optional<Sha256Fingerprint> ParseSha256Fingerprint(std::string_view text);

// "AB:CD:..." in capitals, the form openssl prints and the window shows.
std::string FormatSha256Fingerprint(const Sha256Fingerprint& fingerprint);

}  // namespace run

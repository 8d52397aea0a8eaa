#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace run {

// One plain-text mail. Texts are UTF-8; the sender encodes what needs encoding.
struct MailMessage {
  std::string from;             // one address
  std::vector<std::string> to;  // at least one address
  std::string subject;
  std::string body;  // lines ended by "\n"
};

// A header text as RFC 2047 encoded words ("=?UTF-8?B?...?=", each at most 75 characters, cut between
// whole characters) when it holds anything but printable ASCII; unchanged otherwise.
std::string EncodedHeaderText(std::string_view text);

// The "Date" header's value for a moment: "Thu, 10 Dec 2026 16:54:58 +0000" (always in UTC, which every
// reader converts to its own zone).
std::string MailDate(std::chrono::system_clock::time_point moment);

// A new "Message-ID" value, "<32 random hexadecimal digits.seconds@domain>", the domain taken from the
// machine's name (letters, digits, "-" and "." only) or "torvi.invalid" when that name is unusable.
std::string NewMessageId(std::string_view machineName, std::chrono::system_clock::time_point moment);

}  // namespace run

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// Longest address list EdtEmail may hold, and the most recipients it may name: a notice goes to a few
// people, and a list far beyond that is a pasted mistake, not a mailing list.
inline constexpr std::size_t kMaxMailAddressListLength = 1000;
inline constexpr std::size_t kMaxMailRecipients = 50;

// The addresses of a list separated by ";" or ",", blanks around each one dropped, empty entries skipped.
std::vector<std::string> SplitMailAddresses(std::string_view list);

// Why `address` cannot be a mail address ("local@domain", printable ASCII, no blanks, brackets or quotes);
// empty when it can.
std::string MailAddressProblem(std::string_view address);

// Why the list cannot be used as recipients (too long, too many, no address, a bad address); empty when it
// can.
std::string MailAddressListProblem(std::string_view list);

// True when the text holds a control character (below a blank, or DEL): such a value must never reach a
// mail header or an SMTP command.
bool HasControlCharacter(std::string_view text);

}  // namespace app

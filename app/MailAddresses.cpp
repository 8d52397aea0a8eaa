#include "app/MailAddresses.h"

#include <algorithm>

namespace app {
namespace {

constexpr std::size_t kMaxAddressLength = 254;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Letters, digits and the punctuation an address may carry outside quotes.
bool IsAddressCharacter(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code <= 0x20 || code >= 0x7F) return false;
  return std::string_view("<>()[]\\\",;:").find(c) == std::string_view::npos;
}

}  // namespace

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F;
  });
}

std::vector<std::string> SplitMailAddresses(std::string_view list) {
  std::vector<std::string> addresses;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find_first_of(";,"), list.size());
    const std::string_view address = Trimmed(list.substr(0, end));
    if (!address.empty()) addresses.emplace_back(address);
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  return addresses;
}

std::string MailAddressProblem(std::string_view address) {
  const std::string shown =
      "\"" + std::string(address.substr(0, 60)) + (address.size() > 60 ? "...\"" : "\"");
  if (HasControlCharacter(address)) return "o endereço contém caracteres de controle";
  if (address.size() > kMaxAddressLength) return "o endereço " + shown + " é longo demais";
  const std::size_t at = address.rfind('@');
  if (at == std::string_view::npos) return "o endereço " + shown + " não tem \"@\"";
  if (at == 0 || at + 1 == address.size() || address.find('@') != at) {
    return "o endereço " + shown + " não tem a forma nome@domínio";
  }
  if (!std::all_of(address.begin(), address.end(), IsAddressCharacter)) {
    return "o endereço " + shown + " contém caracteres que um endereço não aceita";
  }
  return {};
}

std::string MailAddressListProblem(std::string_view list) {
  if (HasControlCharacter(list)) return "a lista de endereços contém caracteres de controle";
  if (list.size() > kMaxMailAddressListLength) {
    return "a lista de endereços tem " + std::to_string(list.size()) + " caracteres (no máximo " +
           std::to_string(kMaxMailAddressListLength) + ")";
  }
  const std::vector<std::string> addresses = SplitMailAddresses(list);
  if (addresses.empty()) return "nenhum endereço de e-mail";
  if (addresses.size() > kMaxMailRecipients) {
    return std::to_string(addresses.size()) + " endereços (no máximo " + std::to_string(kMaxMailRecipients) +
           ")";
  }
  for (const std::string& address : addresses) {
    std::string problem = MailAddressProblem(address);
    if (!problem.empty()) return problem;
  }
  return {};
}

}  // namespace app

#include "run/MailMessage.h"

#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace run {
namespace {

constexpr std::string_view kEncodedWordStart = "=?UTF-8?B?";
constexpr std::string_view kEncodedWordEnd = "?=";
// 45 bytes give 60 base64 characters: with the 12 of the markers, 72, under the 75 allowed per word.
constexpr std::size_t kBytesPerWord = 45;

bool IsPrintableAscii(char c) { return c >= 0x20 && c < 0x7F; }

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    unsigned long group = 0;
    for (std::size_t j = 0; j < 3; ++j) {
      group = group << 8 | (j < count ? static_cast<unsigned char>(bytes[i + j]) : 0U);
    }
    for (std::size_t j = 0; j < 4; ++j) {
      text += j <= count ? kAlphabet[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
  }
  return text;
}

// The length of the longest prefix of at most `limit` bytes that does not cut a UTF-8 sequence.
std::size_t WholeCharacters(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end > 0 ? end : limit;
}

std::string DomainOf(std::string_view machineName) {
  std::string domain;
  for (char c : machineName) {
    const bool allowed =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
    if (!allowed) return "torvi.invalid";
    domain += c;
  }
  return domain.empty() || domain.front() == '.' || domain.back() == '.' ? "torvi.invalid" : domain;
}

}  // namespace

std::string EncodedHeaderText(std::string_view text) {
  if (std::all_of(text.begin(), text.end(), IsPrintableAscii) && text.find("=?") == std::string_view::npos) {
    return std::string(text);
  }
  std::string encoded;
  while (!text.empty()) {
    const std::size_t length = WholeCharacters(text, kBytesPerWord);
    if (!encoded.empty()) encoded += ' ';
    encoded += kEncodedWordStart;
    encoded += Base64(text.substr(0, length));
    encoded += kEncodedWordEnd;
    text.remove_prefix(length);
  }
  return encoded;
}

std::string MailDate(std::chrono::system_clock::time_point moment) {
  static constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const auto seconds = std::chrono::floor<std::chrono::seconds>(moment);
  const auto day = std::chrono::floor<std::chrono::days>(seconds);
  const std::chrono::year_month_day date(day);
  const std::chrono::hh_mm_ss time(seconds - day);
  const std::chrono::weekday weekday(day);
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%s, %u %s %d %02d:%02d:%02d +0000",
                kWeekdays[weekday.c_encoding()], static_cast<unsigned>(date.day()),
                kMonths[static_cast<unsigned>(date.month()) - 1], static_cast<int>(date.year()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text.data();
}

std::string NewMessageId(std::string_view machineName, std::chrono::system_clock::time_point moment) {
  std::array<unsigned char, 16> random{};
  if (RAND_bytes(random.data(), static_cast<int>(random.size())) != 1) {
    // Unique enough from the moment alone: the id only has to differ from this machine's other notices.
    random.fill(0);
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string id = "<";
  for (unsigned char byte : random) {
    id += kDigits[byte >> 4];
    id += kDigits[byte & 0x0F];
  }
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(moment.time_since_epoch()).count();
  return id + "." + std::to_string(seconds) + "@" + DomainOf(machineName) + ">";
}

}  // namespace run

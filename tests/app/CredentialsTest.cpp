#include <gtest/gtest.h>

#include "app/Credentials.h"
#include "platform/Encoding.h"

namespace {

TEST(Credentials, ScrambleReversesAndShiftsTheCodes) {
  struct Case {
    std::string plain;
    std::string scrambled;
  } cases[] = {
      {"", ""},
      {"bcd", "cda"},
      {"abcd", "cdab"},
      {"SYSDBA", "@CCTXT"},
      {"\xC3\xBF", "\xC3\xBE"},  // ÿ (255) alone: odd position, minus one
      {"\xC3\xBF"
       "a",
       std::string("`\0", 2)},             // 255 at an even position wraps to 0
      {std::string("\0", 1), "\xC3\xBF"},  // 0 at an odd position wraps to 255
      {"ção", "näæ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::ScrambleCredential(c.plain), c.scrambled) << c.plain;
    EXPECT_EQ(app::UnscrambleCredential(c.scrambled), c.plain) << c.scrambled;
  }
}

TEST(Credentials, UnscrambleUndoesScrambleForEveryLengthAndCode) {
  std::string codes;
  for (int code = 0; code < 256; ++code) codes += static_cast<char>(code);
  for (std::size_t length = 0; length <= 9; ++length) {
    for (std::size_t start = 0; start + length <= codes.size(); start += 7) {
      const std::string plain = platform::Cp1252ToUtf8(codes.substr(start, length));
      const std::string scrambled = app::ScrambleCredential(plain);
      EXPECT_EQ(platform::Utf8ToCp1252(scrambled).size(), length);
      EXPECT_EQ(app::UnscrambleCredential(scrambled), plain);
    }
  }
}

}  // namespace

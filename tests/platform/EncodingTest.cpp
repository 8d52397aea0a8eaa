#include <gtest/gtest.h>

#include "platform/Encoding.h"

namespace {

TEST(Encoding, EveryWindows1252ByteSurvivesTheRoundTrip) {
  std::string all;
  for (int code = 0; code < 256; ++code) all += static_cast<char>(code);
  const std::string utf8 = platform::Cp1252ToUtf8(all);
  EXPECT_EQ(platform::Utf8ToCp1252(utf8), all);
  EXPECT_EQ(platform::Utf8ToUtf32(utf8).size(), 256u);
}

TEST(Encoding, MapsTheCodePageBothWays) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  } cases[] = {
      {"Extens\xE3o", "Extensão"},
      {"\x80 \x8A \x9F \xFF", "€ Š Ÿ ÿ"},
      {"Configura\xE7\xE3o", "Configuração"},
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // undefined codes: C1 controls
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(platform::Utf8ToCp1252(c.utf8), c.cp1252);
  }
}

TEST(Encoding, CharactersOutsideTheCodePageAndMalformedBytesBecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string cp1252;
  } cases[] = {
      {"ő", "?"},                     // a Latin letter the code page lacks
      {"a\xF0\x9F\x98\x80z", "a?z"},  // four-byte sequence
      {"\xE3o", "?o"},                // a lone lead byte
      {"\xC0\xAF", "??"},             // overlong form of '/'
      {"\xED\xA0\x80", "???"},        // encoded surrogate
      {"\xE2\x82", "??"},             // cut short at the end
  };
  for (const auto& c : cases) EXPECT_EQ(platform::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/Conversions.h"
#include "platform/Errors.h"

namespace {

TEST(StrToInt, ReadsDecimalIntegers) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"0", 0},
               {"1", 1},
               {"-1", -1},
               {"+7", 7},
               {"007", 7},
               {"2147483647", 2147483647},
               {"-2147483648", -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(platform::StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsEverythingElseNamingTheText) {
  for (const char* text : {"", "x", "1x", " 1", "1 ", "-", "+", "+-1", "--1", "1.5", "2147483648",
                           "-2147483649", "99999999999999999999"}) {
    try {
      platform::StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const platform::EConvertError& error) {
      EXPECT_EQ(error.Message(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

}  // namespace

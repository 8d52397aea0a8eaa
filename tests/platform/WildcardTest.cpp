#include <gtest/gtest.h>

#include "platform/Files.h"

namespace {

TEST(MatchesWildcard, FollowsStarAndQuestionMarkIgnoringCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"bkp08122026210728.bk", "*.bk", true},
      {"BKP08122026210728.BK", "*.bk", true},
      {"bkp08122026210728.bk.old", "*.bk", false},
      {"x.bkp", "*.bk", false},
      {".bk", "*.bk", true},
      {"bkp08122026210728.rar", "bk*.rar", true},
      {"Bk.RAR", "bk*.rar", true},
      {"abk1.rar", "bk*.rar", false},
      {"teste123.txt", "teste???.txt", true},
      {"teste12.txt", "teste???.txt", false},
      {"a", "*", true},
      {"", "*", true},
      {"", "?", false},
      {"aXbXc", "a*b*c", true},
      {"aXbXd", "a*b*c", false},
      {"ÇÃO.rar", "ção.RAR", true},
      {"Œuvre", "œuvre", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::MatchesWildcard(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
  }
}

}  // namespace

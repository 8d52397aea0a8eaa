#include <gtest/gtest.h>

#include <string>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "run/FtpDeliveryNames.h"

namespace {

TEST(FtpDeliveryNamesTest, ListedNameStartsAtTheFirstBkp) {
  const struct {
    std::string line;
    std::string name;
  } cases[] = {
      {"-rw-r--r--   1 root     root         1234 Dec 09 22:10 bkp08122026210728.rar\r",
       "bkp08122026210728.rar"},
      {"-rw-r--r--   1 bkpuser  root         1234 Dec 09 22:10 bkp08122026210728.rar",
       "bkpuser  root         1234 Dec 09 22:10 bkp08122026210728.rar"},
      {"  bkp01012026000000.zip \t", "bkp01012026000000.zip"},
      {"-rw-r--r--   1 root root 1 Dec 09 22:10 BKP01012026000000.RAR ",
       "-rw-r--r--   1 root root 1 Dec 09 22:10 BKP01012026000000.RAR"},
  };
  for (const auto& c : cases) EXPECT_EQ(run::ListedName(c.line), c.name) << c.line;
}

TEST(FtpDeliveryNamesTest, NameDatesOrderByTheDateInTheName) {
  EXPECT_LT(run::NameDate("bkp31122025235959.rar"), run::NameDate("bkp01012026000000.rar"));
  EXPECT_EQ(run::NameDate("bkp01011970000001.rar"), 1);
  EXPECT_EQ(run::NameDate("bkp08122026210728.rar") - run::NameDate("bkp08122026000000.rar"),
            21 * 3600 + 7 * 60 + 28);
  EXPECT_LT(run::NameDate("bkp08122026210728.rar"), run::NameDate("bkp31123000000000"));
}

TEST(FtpDeliveryNamesTest, NamesWithoutAValidDateAreErrors) {
  for (const char* name :
       {"bkpcopia.rar", "bkp0812202621072", "bkp32122026210728.rar", "bkp29022026000000.rar",
        "bkp08132026210728.rar", "bkp08122026240000.rar", "bkp08122026216000.rar", "bkp0812202621072x.rar",
        "bkpuser  root 1234 Dec 09 22:10 bkp08122026210728.rar", ""}) {
    EXPECT_THROW(run::NameDate(name), platform::Exception) << name;
  }
  EXPECT_NO_THROW(run::NameDate("bkp29022028000000.rar"));
}

TEST(FtpDeliveryNamesTest, MasksFollowTheSettingsAndNeverMatchTemporaryNames) {
  app::BackupSettings settings;
  EXPECT_EQ(run::FtpListingMask(settings), "bkp*.rar");
  EXPECT_EQ(run::FtpTemporaryMask(settings), "bkp*.rar.parcial");
  settings.CheckMudaExtensao = true;
  settings.EdtExtensaoFTP = "zip";
  EXPECT_EQ(run::FtpListingMask(settings), "bkp*.zip");
  const std::string temporary = run::FtpTemporaryName("bkp08122026210728.zip");
  EXPECT_EQ(temporary, "bkp08122026210728.zip.parcial");
  EXPECT_FALSE(platform::MatchesWildcard(temporary, run::FtpListingMask(settings)));
  EXPECT_TRUE(platform::MatchesWildcard(temporary, run::FtpTemporaryMask(settings)));
}

}  // namespace

#include <gtest/gtest.h>

#include "run/RunNames.h"

namespace {

app::BackupSettings Settings(const std::string& server) {
  app::BackupSettings settings;
  settings.EdtServidor = server;
  settings.EdtPastaTemp = "D:\\dados\\";
  settings.EdtPastaComp = "\\\\srv\\dados\\";
  return settings;
}

TEST(RunNamesTest, StampIsZeroPaddedDayMonthYearAndTwentyFourHourTime) {
  EXPECT_EQ(run::MakeRunStamp({2026, 12, 8, 21, 7, 28}).date, "08122026");
  EXPECT_EQ(run::MakeRunStamp({2026, 12, 8, 21, 7, 28}).time, "210728");
  EXPECT_EQ(run::MakeRunStamp({987, 1, 2, 0, 0, 5}).date, "02010987");
  EXPECT_EQ(run::MakeRunStamp({987, 1, 2, 0, 0, 5}).time, "000005");
}

TEST(RunNamesTest, NamesComeFromTheStamp) {
  const run::RunNames names = run::MakeRunNames(Settings("localhost"), {"08122026", "210728"}, "/w/");
  EXPECT_EQ(names.backupFileName, "bkp08122026210728.bk");
  EXPECT_EQ(names.archiveName, "bkp08122026210728.rar");
  EXPECT_EQ(names.remoteName, "bkp08122026210728.rar");
  EXPECT_EQ(names.localBackupPath, "/w/bkp08122026210728.bk");
  EXPECT_EQ(names.localArchivePath, "/w/bkp08122026210728.rar");
}

TEST(RunNamesTest, OtherExtensionNamesOnlyTheRemoteFile) {
  app::BackupSettings settings = Settings("localhost");
  settings.CheckMudaExtensao = true;
  settings.EdtExtensaoFTP = "zip";
  const run::RunNames names = run::MakeRunNames(settings, {"08122026", "210728"}, "/w/");
  EXPECT_EQ(names.remoteName, "bkp08122026210728.zip");
  EXPECT_EQ(names.archiveName, "bkp08122026210728.rar");
}

TEST(RunNamesTest, OnlyExactlyLocalhostWritesIntoTheWorkingFolder) {
  struct Case {
    std::string server;
    std::string serverBackupPath;
  };
  const Case cases[] = {
      {"localhost", "/w/bkp08122026210728.bk"},         {"LOCALHOST", "D:\\dados\\bkp08122026210728.bk"},
      {"127.0.0.1", "D:\\dados\\bkp08122026210728.bk"}, {"localhost ", "D:\\dados\\bkp08122026210728.bk"},
      {"", "D:\\dados\\bkp08122026210728.bk"},
  };
  for (const Case& testCase : cases) {
    const run::RunNames names = run::MakeRunNames(Settings(testCase.server), {"08122026", "210728"}, "/w/");
    EXPECT_EQ(names.serverBackupPath, testCase.serverBackupPath) << "server '" << testCase.server << "'";
    EXPECT_EQ(names.sharePath, "\\\\srv\\dados\\bkp08122026210728.bk");
  }
}

TEST(RunNamesTest, FolderWithoutClosingSeparatorIsGluedToTheName) {
  app::BackupSettings settings = Settings("server");
  settings.EdtPastaComp = "/mnt/share";
  EXPECT_EQ(run::MakeRunNames(settings, {"08122026", "210728"}, "/w/").sharePath,
            "/mnt/sharebkp08122026210728.bk");
}

}  // namespace

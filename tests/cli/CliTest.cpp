#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/SettingsFile.h"
#include "cli/Headless.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(ParseOptions, ReadsEveryOption) {
  const std::string separator(1, platform::kPathSeparator);
  const cli::Options options =
      cli::ParseOptions({"--config", "config", "--work=work" + separator, "--noftp", "--test-ftp"});
  EXPECT_EQ(options.configFolder, "config" + separator);
  EXPECT_EQ(options.workFolder, "work" + separator);
  EXPECT_TRUE(options.noFtp);
  EXPECT_TRUE(options.testFtp);
  EXPECT_FALSE(options.help);
  EXPECT_FALSE(options.version);
  EXPECT_EQ(cli::ParseOptions({"--work", "/srv/work/"}).workFolder, "/srv/work/");

  const cli::Options none = cli::ParseOptions({});
  EXPECT_EQ(none.configFolder, "");
  EXPECT_EQ(none.workFolder, "");
  EXPECT_FALSE(none.noFtp);
}

TEST(RunCommandLine, AnswersWithTheDocumentedExitStatus) {
  TempFolder temp;
  std::filesystem::create_directories(temp / "badmode");
  WriteBytes(temp / "badmode/" + app::kSettingsFileName, "[FTP]\r\nModo=passivo\r\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string out;  // expected to be contained in standard output
    std::string err;  // expected to be contained in standard error
  } cases[] = {
      {{"--help"}, 0, "usage: torvi-backup", ""},
      {{"--version"}, 0, "torvi-backup ", ""},
      {{"--bogus"}, 64, "", "unknown argument: --bogus"},
      {{"/noftp"}, 64, "", "unknown argument: /noftp"},
      {{"--config"}, 64, "", "--config needs a folder"},
      {{"--work="}, 64, "", "--work needs a folder"},
      {{"--config", temp / "missing"},
       3,
       "",
       "no settings file: " + temp / "missing" + platform::kPathSeparator + app::kSettingsFileName},
      {{"--config", temp / "badmode"}, 3, "", "'passivo' is not a valid integer value."},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(cli::RunCommandLine(c.arguments, out, err), c.status) << c.arguments.front();
    EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
    EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
  }
}

#ifndef _WIN32
TEST(TorviBackupProgram, RefusesBadUsageAndUnusableSettings) {
  TempFolder temp;
  EXPECT_EQ(platform::RunAndWait(std::string(TORVI_BACKUP_PROGRAM) + " --config " + temp.Path()), 3);
  WriteBytes(temp / app::kSettingsFileName, "[FTP]\r\nModo=?\r\n");
  EXPECT_EQ(platform::RunAndWait(std::string(TORVI_BACKUP_PROGRAM) + " --config " + temp.Path()), 3);
  EXPECT_EQ(platform::RunAndWait(std::string(TORVI_BACKUP_PROGRAM) + " --what"), 64);
}

#endif

}  // namespace

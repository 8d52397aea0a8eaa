// A whole run with the archiver built into the program, its archive read back by bsdtar and unar.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "platform/Files.h"
#include "run/Archiver.h"
#include "run/BackupRun.h"
#include "tests/run/NullDeliveryStage.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
std::string Output(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return output;
}
#endif

TEST(RunArchiveTest, EmbeddedArchiverWritesAnArchiveBsdtarReadsBack) {
  if (run::EmbeddedArchiver().empty()) GTEST_SKIP() << "this build carries no archiver";
  testsupport::TempFolder root;
  const std::string work = root.Path() + "Backup" + platform::kPathSeparator;
  std::string backup(1 << 20, '\0');
  std::mt19937 random(7);
  for (char& byte : backup) byte = static_cast<char>(random());

  runtest::FakeClock clock{runtest::kRunStart};
  runtest::FakeSleeper sleeper;
  runtest::RecordingWindow window;
  runtest::FakeDatabaseStage database;
  database.contents = backup;
  runtest::NullDeliveryStage destination;
  runtest::NullDeliveryStage ftp;
  app::BackupSettings settings;
  const run::RunOutcome outcome =
      run::BackupRun(settings, window, {database, destination, ftp},
                     {clock, sleeper, work, root.Path(), root.Path() + "private" + platform::kPathSeparator,
                      run::EmbeddedArchiver()})
          .Perform();

  EXPECT_TRUE(outcome.archiveCreated);
  const std::string archive = work + "bkp08122026210728.rar";
  EXPECT_EQ(testsupport::ReadBytes(archive).substr(0, 7), std::string("Rar!\x1a\x07\x00", 7));
#ifndef _WIN32
  EXPECT_EQ(Output("bsdtar -tf '" + archive + "'"), "bkp08122026210728.bk\n");
  EXPECT_TRUE(Output("bsdtar -xOf '" + archive + "'") == backup);
  Output("unar -q -o '" + root.Path() + "unar' '" + archive + "'");
  EXPECT_TRUE(testsupport::ReadBytes(root.Root() / "unar" / "bkp08122026210728.bk") == backup);
#endif
  EXPECT_TRUE(fs::exists(work + "bkp08122026210728.bk"));
}

}  // namespace

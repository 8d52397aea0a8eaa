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
#ifndef _WIN32
#include "tests/tools/rar/Readers.h"
#include "tools/rar/Crc32.h"
#endif

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

class RunArchiveTest : public testing::Test {
 protected:
  void SetUp() override {
    if (run::EmbeddedArchiver().empty()) GTEST_SKIP() << "this build carries no archiver";
  }

  run::RunOutcome Perform() {
    runtest::FakeSleeper sleeper;
    runtest::RecordingWindow window;
    runtest::NullDeliveryStage destination;
    runtest::NullDeliveryStage ftp;
    return run::BackupRun(settings, window, {database, destination, ftp},
                          {clock, sleeper, work, root.Path(),
                           root.Path() + "private" + platform::kPathSeparator, run::EmbeddedArchiver()})
        .Perform();
  }

  testsupport::TempFolder root;
  app::BackupSettings settings;
  const std::string work = root.Path() + "Backup" + platform::kPathSeparator;
  const std::string archive = work + "bkp08122026210728.rar";
  runtest::FakeClock clock{runtest::kRunStart};
  runtest::FakeDatabaseStage database;
};

TEST_F(RunArchiveTest, EmbeddedArchiverWritesAnArchiveBsdtarReadsBack) {
  std::string backup(1 << 20, '\0');
  std::mt19937 random(7);
  for (char& byte : backup) byte = static_cast<char>(random());
  database.contents = backup;

  EXPECT_TRUE(Perform().archiveCreated);

  EXPECT_EQ(testsupport::ReadBytes(archive).substr(0, 7), std::string("Rar!\x1a\x07\x00", 7));
#ifndef _WIN32
  EXPECT_EQ(Output("bsdtar -tf '" + archive + "'"), "bkp08122026210728.bk\n");
  EXPECT_TRUE(Output("bsdtar -xOf '" + archive + "'") == backup);
  Output("unar -q -o '" + root.Path() + "unar' '" + archive + "'");
  EXPECT_TRUE(testsupport::ReadBytes(root.Root() / "unar" / "bkp08122026210728.bk") == backup);
#endif
  EXPECT_TRUE(fs::exists(work + "bkp08122026210728.bk"));
}

TEST_F(RunArchiveTest, WithAPasswordTheArchiveHidesDataAndNameAndOpensOnlyWithIt) {
  std::string backup;
  while (backup.size() < 200000)
    backup += "INSERT INTO CLIENTES VALUES ('Maria da Conceição', '11 5555-0101');\n";
  database.contents = backup;
  settings.EdtSenhaCompactacao = "Cofre-Açaí 2026!";
  settings.CheckOcultarNomes = true;

  EXPECT_TRUE(Perform().archiveCreated);

  const std::string bytes = testsupport::ReadBytes(archive);
  EXPECT_EQ(bytes.find("Maria"), std::string::npos);
  EXPECT_EQ(bytes.find("bkp08122026210728"), std::string::npos);
  const std::string log = testsupport::ReadBytes(root.Path() + "BkpLog.txt");
  EXPECT_NE(log.find(" - Arquivo compactado protegido por senha, com os nomes ocultos.\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("Cofre"), std::string::npos) << "the password is never logged";
#ifndef _WIN32
  const rar::testing::ReadBack opened = rar::testing::ReadWithUnar(archive, settings.EdtSenhaCompactacao);
  ASSERT_TRUE(opened.ok) << opened.log;
  EXPECT_EQ(opened.names, std::vector<std::string>{"bkp08122026210728.bk"});
  EXPECT_EQ(opened.size, backup.size());
  EXPECT_EQ(opened.crc,
            rar::Crc32::Of(std::span(reinterpret_cast<const std::uint8_t*>(backup.data()), backup.size())));
  EXPECT_FALSE(rar::testing::ReadWithUnar(archive, "Cofre-Acai 2026!").ok);
#endif
}

#ifndef _WIN32
// A link planted under the archive's name once the clean-up is over: the archive takes the link's place.
TEST_F(RunArchiveTest, LinkPlantedUnderTheArchivesNameIsReplacedNotWrittenThrough) {
  const testsupport::TempFolder outside;
  testsupport::WriteBytes(outside / "target", "outside");
  database.action = [&](run::RunContext& context) {
    testsupport::WriteBytes(context.names.serverBackupPath, "backup bytes");
    fs::create_symlink(outside / "target", context.names.localArchivePath);
  };

  EXPECT_TRUE(Perform().archiveCreated);

  EXPECT_EQ(testsupport::ReadBytes(outside / "target"), "outside");
  EXPECT_FALSE(fs::is_symlink(archive));
  EXPECT_EQ(Output("bsdtar -xOf '" + archive + "'"), "backup bytes");
}
#endif

}  // namespace

// The database stage of the run against a private Firebird server, and through the whole headless run.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "ibservice/Errors.h"
#include "run/Archiver.h"
#include "run/DatabaseStageService.h"
#include "run/HeadlessRun.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/ibservice/FakeClientLibrary.h"
#include "tests/ibservice/StageHarness.h"
#include "tests/run/NullDeliveryStage.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using fixtures::CommandResult;
using fixtures::FirebirdServer;
using fixtures::RunCommand;
using fixtures::ShellQuote;
using stagetest::kRunStart;
using stagetest::SettingsFor;
using stagetest::StageHarness;

TEST(DatabaseStageTest, RemoteServerReportGoesToTheConsoleAndTheFileIsNotChecked) {
  FirebirdServer server;
  const std::string database = server.CreateSampleDatabase();
  const std::string serverFolder = server.Folder() + "backup/";
  StageHarness harness(SettingsFor(server.Address(), database, server.Password(), serverFolder));
  const std::string backup = harness.Names().serverBackupPath;
  ASSERT_EQ(backup, serverFolder + "bkp08122026210728.bk");
  std::vector<std::string> expected = server.GbakBackupReport(database, backup);
  fs::remove(backup);
  expected.emplace_back();

  run::DatabaseStageService stage;
  EXPECT_EQ(harness.Perform(stage), run::DatabaseOutcome::BackupWritten);
  EXPECT_EQ(harness.Window().console, expected);
  EXPECT_GE(harness.Window().messageRuns, 1);
  EXPECT_TRUE(fs::exists(backup));
  const std::vector<std::string> log = harness.LogLines();
  ASSERT_EQ(log.size(), 3u) << "no existence line for a remote server";
  EXPECT_EQ(log[2], "08122026 - 210728 - end");
}

// No real server ends its report without writing the file; the fake client library can.
TEST(DatabaseStageTest, LocalhostFileMissingAfterTheReportSendsTheRunToItsEnd) {
  ibservice::testing::FakeClientLibrary fake;
  fake.QueueLine("gbak:readied database /db/x.fdb for backup ");
  fake.QueueReply(std::string{62, 0, 0, 1});
  StageHarness harness(SettingsFor("localhost", "/db/x.fdb", "pw", "D:\\temp\\"));

  run::DatabaseStageService stage;
  EXPECT_EQ(harness.Perform(stage), run::DatabaseOutcome::BackupFileMissing);
  EXPECT_EQ(harness.Window().console,
            (std::vector<std::string>{"gbak:readied database /db/x.fdb for backup ", ""}));
  EXPECT_EQ(
      harness.Window().notices,
      std::vector<std::string>{"Não foi possível criar o arquivo. Verifique se a pasta D:\\temp\\ existe,\r"
                               "ou se as Configurações do banco estão corretas."});
  const std::vector<std::string> log = harness.LogLines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[2], "08122026 - 210728 - Não é possível criar o arquivo");
  EXPECT_EQ(fake.LastBytes("isc_service_attach"), "localhost:service_mgr");
  const std::string spb = std::string{2, 2, 28, 6} + "SYSDBA" + std::string{29, 2} + "pw";
  EXPECT_EQ(fake.LastBytes("spb"), spb);
  const std::string request = std::string{1, 106, 9, 0} + "/db/x.fdb" + std::string{108, 8, 0, 0, 0, 107, 5} +
                              static_cast<char>(harness.Names().serverBackupPath.size()) + '\0' +
                              harness.Names().serverBackupPath;
  EXPECT_EQ(fake.LastBytes("isc_service_start"), request);
}

// The fake library repeats its last line once its script is used up: a report that never ends, which
// only the run's ceiling ends, as an error of the stage with its own log row.
TEST(DatabaseStageTest, TheRunCeilingEndsAReportThatNeverEnds) {
  ibservice::testing::FakeClientLibrary fake;
  fake.QueueLine("gbak: writing data for table SALES");
  StageHarness harness(SettingsFor("localhost", "/db/x.fdb", "pw", "D:\\temp\\"));
  // Short enough that the report's own size bound (16 MiB, a fraction of a second away on a fast machine)
  // is never reached first.
  harness.ceiling = run::RunCeiling(run::RunCeiling::Clock::now() + std::chrono::milliseconds(20), 720);

  run::DatabaseStageService stage;
  try {
    harness.Perform(stage);
    FAIL() << "the stage ended without an error";
  } catch (const run::RunCeilingReached& error) {
    EXPECT_EQ(error.Message(), "Tempo máximo de execução (720 minutos) atingido: etapa encerrada.");
  }
  EXPECT_GE(harness.Window().console.size(), 1u);
  const std::vector<std::string> log = harness.LogLines();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[2], "08122026 - 210728 - Tempo máximo de execução (720 minutos) atingido: etapa encerrada.");
}

// A whole headless run: the archive it leaves holds a backup that gbak restores; a wrong password ends
// the run with the server's text and status 1.
TEST(DatabaseStageTest, HeadlessRunArchivesARestorableBackupAndFailsOnAWrongPassword) {
  if (run::EmbeddedArchiver().empty()) GTEST_SKIP() << "this build carries no archiver";
  FirebirdServer server;
  const std::string database = server.CreateSampleDatabase();
  testsupport::TempFolder folder;
  const std::string work = folder.Path() + "Backup/";
  runtest::FakeClock clock{kRunStart};
  runtest::FakeSleeper sleeper;
  runtest::NullDeliveryStage destination;
  runtest::NullDeliveryStage ftp;
  // The server writes into the share folder, which the run reads it back from.
  const auto runWithPassword = [&](const std::string& password, runtest::RecordingWindow& window,
                                   std::ostringstream& errors) {
    const app::BackupSettings settings =
        SettingsFor(server.Address(), database, password, server.Folder() + "backup/");
    run::DatabaseStageService stage;
    return run::PerformHeadlessRun(
        settings, window, {stage, destination, ftp},
        {clock, sleeper, work, folder.Path(), folder.Path() + "private/", run::EmbeddedArchiver()}, errors);
  };

  {
    runtest::RecordingWindow window;
    std::ostringstream errors;
    EXPECT_EQ(runWithPassword(server.Password(), window, errors), run::kExitRunSucceeded) << errors.str();
  }
  const std::string archive = work + "bkp08122026210728.rar";
  const std::string extracted = folder.Path() + "extracted/";
  fs::create_directories(extracted);
  const CommandResult unpacked =
      RunCommand("bsdtar -x -f " + ShellQuote(archive) + " -C " + ShellQuote(extracted));
  ASSERT_EQ(unpacked.exitCode, 0) << unpacked.output;
  const CommandResult restore =
      server.Restore(extracted + "bkp08122026210728.bk", server.Folder() + "data/restored.fdb");
  ASSERT_EQ(restore.exitCode, 0) << restore.output;
  const CommandResult count =
      server.Sql(server.Folder() + "data/restored.fdb", "select count(*) from orders;");
  EXPECT_NE(count.output.find("10000"), std::string::npos) << count.output;

  {
    runtest::RecordingWindow window;
    std::ostringstream errors;
    EXPECT_EQ(runWithPassword("wrong", window, errors), run::kExitRunFailed);
    EXPECT_EQ(
        errors.str(),
        "Your user name and password are not defined. Ask your database administrator to set up a Firebird "
        "login\n");
    EXPECT_FALSE(window.endRequested);
  }
}

TEST(DatabaseStageTest, WrongPasswordLeavesTheStageWithTheServerText) {
  FirebirdServer server;
  const std::string database = server.CreateSampleDatabase();
  StageHarness harness(SettingsFor(server.Address(), database, "wrong", server.Folder() + "backup/"));
  run::DatabaseStageService stage;
  EXPECT_THROW(harness.Perform(stage), ibservice::EIBInterBaseError);
  EXPECT_TRUE(harness.Window().console.empty());
  EXPECT_EQ(harness.LogLines().size(), 2u) << "only the header: the stage logs nothing for its errors";
}

}  // namespace

// A server named exactly "localhost": the stage checks the file the server wrote on this machine. Its own
// program, because the client library reads the server's configuration only when it is first loaded.
#include <gtest/gtest.h>

#include <cstdlib>

#include "run/DatabaseStageService.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/ibservice/StageHarness.h"

namespace {

using fixtures::CommandResult;
using fixtures::FirebirdServer;
using stagetest::SettingsFor;
using stagetest::StageHarness;

TEST(DatabaseStageTest, LocalhostBackupIsCheckedAndLogged) {
  FirebirdServer server;
  // The client library reads this server's configuration, so "localhost" reaches its private port.
  setenv("FIREBIRD", server.ConfigFolder().c_str(), 1);
  const std::string database = server.CreateSampleDatabase();
  StageHarness harness(SettingsFor("localhost", database, server.Password(), "/elsewhere/"));
  const std::string backup = harness.Names().serverBackupPath;
  ASSERT_EQ(backup, harness.Names().workFolder + "bkp08122026210728.bk");

  run::DatabaseStageService stage;
  EXPECT_EQ(harness.Perform(stage), run::DatabaseOutcome::BackupWritten);
  EXPECT_EQ(harness.Window().console.back(), "");
  EXPECT_TRUE(harness.Window().notices.empty());
  const std::vector<std::string> log = harness.LogLines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[2], "08122026 - 210728 - Arquivo criado com Sucesso: " + backup);

  const CommandResult restore = server.Restore(backup, server.Folder() + "data/restored.fdb");
  EXPECT_EQ(restore.exitCode, 0) << restore.output;
  unsetenv("FIREBIRD");
}

}  // namespace

// The service client against a private Firebird server on loopback; backups are checked by restoring
// them with gbak.
#include <gtest/gtest.h>

#include <filesystem>

#include "ibservice/Errors.h"
#include "ibservice/TIBBackupService.h"
#include "tests/fixtures/firebird/FirebirdServer.h"

namespace ibservice {
namespace {

using fixtures::FirebirdServer;

class BackupServerTest : public ::testing::Test {
 protected:
  // The component as the run sets it up.
  void Configure(TIBBackupService& service, const std::string& server, const std::string& database,
                 const std::string& password, const std::string& backupFile) {
    service.SetProtocol(TProtocol::TCP);
    service.SetLoginPrompt(false);
    service.SetVerbose(true);
    service.SetOptions({TBackupOption::NoGarbageCollection});
    service.SetServerName(server);
    service.SetDatabaseName(database);
    service.Params().Clear();
    service.Params().Add("user_name=SYSDBA");
    service.Params().Add("password=" + password);
    service.BackupFile().Clear();
    service.BackupFile().Add(backupFile);
  }

  std::vector<std::string> ReadAll(TIBBackupService& service) {
    std::vector<std::string> lines;
    while (!service.EndOfOutput()) lines.push_back(service.ReadOutputLine());
    return lines;
  }

  FirebirdServer server_;
};

TEST_F(BackupServerTest, BackupRestoresAndItsReportMatchesGbak) {
  const std::string database = server_.CreateSampleDatabase();
  const std::string backup = server_.Folder() + "backup/sample.bk";

  // gbak's own report of the same backup, for the line-by-line comparison.
  const std::vector<std::string> reference = server_.GbakBackupReport(database, backup);
  std::filesystem::remove(backup);

  std::vector<std::string> lines;
  {
    TIBBackupService service;
    Configure(service, server_.Address(), database, server_.Password(), backup);
    service.Attach();
    service.Start();
    lines = ReadAll(service);
  }
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "");
  lines.pop_back();
  EXPECT_EQ(lines, reference);
  EXPECT_TRUE(lines.back().starts_with("gbak:closing file, committing, and finishing.")) << lines.back();

  const std::string restored = server_.Folder() + "data/restored.fdb";
  const fixtures::CommandResult restore = server_.Restore(backup, restored);
  ASSERT_EQ(restore.exitCode, 0) << restore.output;
  const fixtures::CommandResult counts =
      server_.Sql(restored,
                  "select (select count(*) from customers) || ' ' || (select count(*) from orders) || ' ' || "
                  "(select count(*) from notes) || ' ' || (select min(name) from customers where id = 7) "
                  "from rdb$database;");
  EXPECT_NE(counts.output.find("1000 10000 200 Cliente 7 São João Açaí"), std::string::npos) << counts.output;
}

TEST_F(BackupServerTest, FailuresCarryTheLibraryTextAndLeaveTheComponentDetached) {
  const std::string database = server_.CreateSampleDatabase();
  const std::string backup = server_.Folder() + "backup/x.bk";
  TIBBackupService service;

  struct Case {
    const char* what;
    std::string server, database, password, backup;
    std::string messageStart;
  };
  const std::vector<Case> cases = {
      {"wrong password", server_.Address(), database, "wrong", backup,
       "Your user name and password are not defined. Ask your database administrator to set up a Firebird "
       "login"},
      {"unknown database", server_.Address(), server_.Folder() + "data/nope.fdb", server_.Password(), backup,
       "I/O error during \"open\" operation for file \"" + server_.Folder() + "data/nope.fdb\"\r\n"},
      {"missing backup folder", server_.Address(), database, server_.Password(),
       server_.Folder() + "no-such-folder/x.bk",
       "cannot open backup file " + server_.Folder() + "no-such-folder/x.bk"},
      {"unresolvable server", "no-such-host.invalid", database, server_.Password(), backup,
       "Unable to complete network request to host \"no-such-host.invalid\".\r\n"},
      {"empty server name", "", database, server_.Password(), backup, "Server Name Missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Configure(service, c.server, c.database, c.password, c.backup);
    try {
      service.Attach();
      service.Start();
      ReadAll(service);
      ADD_FAILURE() << "no error";
    } catch (const EIBError& error) {
      EXPECT_TRUE(error.Message().starts_with(c.messageStart)) << error.Message();
      EXPECT_NE(error.Message().back(), '.') << error.Message();
    }
    EXPECT_FALSE(service.Active());
  }
  EXPECT_FALSE(std::filesystem::exists(backup));

  server_.Stop();
  Configure(service, server_.Address(), database, server_.Password(), backup);
  try {
    service.Attach();
    FAIL() << "attached to a stopped server";
  } catch (const EIBInterBaseError& error) {
    EXPECT_EQ(error.SqlErrorCode(), -902);
    EXPECT_TRUE(error.Message().starts_with("Unable to complete network request to host \"127.0.0.1\".\r\n"))
        << error.Message();
  }
  EXPECT_FALSE(service.Active());
}

TEST_F(BackupServerTest, ServerDyingMidReportRaisesInsteadOfEndingTheReport) {
  const std::string database = server_.CreateSampleDatabase();
  TIBBackupService service;
  Configure(service, server_.Address(), database, server_.Password(), server_.Folder() + "backup/x.bk");
  service.Attach();
  service.Start();
  EXPECT_TRUE(service.ReadOutputLine().starts_with("gbak:")) << "the report has begun";
  server_.Kill();
  try {
    ReadAll(service);
    FAIL() << "the report of a dead server ended normally";
  } catch (const EIBInterBaseError& error) {
    EXPECT_EQ(error.SqlErrorCode(), -902) << error.Message();
  }
  EXPECT_FALSE(service.EndOfOutput());
  EXPECT_FALSE(service.Active());
}

}  // namespace
}  // namespace ibservice

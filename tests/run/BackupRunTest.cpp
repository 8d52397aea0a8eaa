#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/FolderLock.h"
#include "run/BackupRun.h"
#include "run/HeadlessRun.h"
#include "run/RunTexts.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ThrowAwayUser.h"

namespace {

using runtest::FakeClock;
using runtest::FakeDatabaseStage;
using runtest::RecordingDelivery;
using runtest::RecordingWindow;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;
namespace fs = std::filesystem;

const std::string kRule(63, '-');
const std::string kBackupName = "bkp08122026210728.bk";
const std::string kArchiveName = "bkp08122026210728.rar";

const std::string kStandInArchiver = ReadBytes(TORVI_STAND_IN_ARCHIVER);

class BackupRunTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(kStandInArchiver.empty());
    fs::create_directory(root.Root() / "config");
    settings.EdtServidor = "localhost";
  }

  std::string Work() const { return (root.Root() / "torvi" / "Backup").string() + platform::kPathSeparator; }
  std::string Config() const { return (root.Root() / "config").string() + platform::kPathSeparator; }
  std::string Private() const { return (root.Root() / "private").string() + platform::kPathSeparator; }
  std::string Log() const { return ReadBytes(Config() + "BkpLog.txt"); }
  std::string ArchiverCommand() const { return ReadBytes(Work() + "archiver-command.txt"); }

  run::RunOutcome Perform() {
    run::RunStages stages{database, destination, ftp};
    run::RunEnvironment environment{clock,    sleeper,   Work(),
                                    Config(), Private(), std::as_bytes(std::span(archiver))};
    return run::BackupRun(settings, window, stages, environment).Perform();
  }

  TempFolder root;
  app::BackupSettings settings;
  FakeClock clock{runtest::kRunStart};
  runtest::FakeSleeper sleeper;
  RecordingWindow window;
  FakeDatabaseStage database;
  std::vector<std::string> deliveries;
  RecordingDelivery destination{"destination", deliveries, run::DeliveryOutcome::Delivered};
  RecordingDelivery ftp{"ftp", deliveries, run::DeliveryOutcome::Delivered};
  std::string archiver = kStandInArchiver;
};

TEST_F(BackupRunTest, LocalRunWithoutDeliveriesWritesTheExactLogAndConsole) {
  WriteBytes(Config() + "BkpLog.txt", "earlier block\r\n");
  database.action = [this](run::RunContext& context) {
    WriteBytes(context.names.serverBackupPath, "backup");
    clock.Set({2026, 12, 8, 21, 7, 31});
    context.log.WriteStamped(std::string(run::texts::kLogFileCreated) + context.names.serverBackupPath);
    context.console.AppendPlain("gbak: writing data");
  };

  const run::RunOutcome outcome = Perform();

  const std::string backupPath = Work() + kBackupName;
  EXPECT_EQ(Log(), "earlier block\r\n \r\n" + kRule + "\r\n" +
                       "08122026 - 210728 - In\xED"
                       "cio do Backup\r\n"
                       "08122026 - 210728 - Criando arquivo: " +
                       backupPath +
                       "\r\n"
                       "08122026 - 210731 - Arquivo criado com Sucesso: " +
                       backupPath +
                       "\r\n"
                       "08122026 - 210731 - Iniciando compacta\xE7\xE3o...\r\n"
                       "08122026 - 210731 - Backup Finalizado!\r\n");
  EXPECT_EQ(window.console,
            (std::vector<std::string>{"gbak: writing data", "21:07:31 - Arquivo de backup criado.",
                                      std::string(55, '-'), "21:07:31 - Compactando Arquivo...",
                                      "21:07:31 - Arquivo Compactado Criado..."}));
  EXPECT_TRUE(window.buttonsDisabled);
  EXPECT_TRUE(window.endRequested);
  EXPECT_TRUE(deliveries.empty());
  EXPECT_TRUE(outcome.archiveCreated);
  EXPECT_EQ(ReadBytes(Work() + kArchiveName), "backup");
  EXPECT_EQ(ReadBytes(backupPath), "backup") << "the backup file stays until the next run";
  EXPECT_EQ(ArchiverCommand(),
            Private() + "winrar.exe a -ep -ibck " + Work() + kArchiveName + " " + backupPath + "\n");
}

TEST_F(BackupRunTest, TheCeilingOfTheSettingsReachesTheStages) {
  using Clock = run::RunCeiling::Clock;
  for (const int minutes : {0, 90, 2147483647}) {
    SCOPED_TRACE(minutes);
    settings.TempoMaximoMinutos = minutes;
    Clock::time_point deadline;
    database.action = [&deadline](run::RunContext& context) { deadline = context.ceiling.Deadline(); };
    const Clock::time_point before = Clock::now();
    Perform();
    if (minutes == 0 || minutes == 2147483647) {
      EXPECT_EQ(deadline, Clock::time_point::max()) << "none, or beyond what the clock can count";
    } else {
      EXPECT_GE(deadline, before + std::chrono::minutes(minutes));
      EXPECT_LE(deadline, Clock::now() + std::chrono::minutes(minutes));
    }
  }
}

TEST_F(BackupRunTest, RemoteServerFileIsBroughtFromTheShareAndDeletedThere) {
  const TempFolder share;
  settings.EdtServidor = "LOCALHOST";
  settings.EdtPastaTemp = "D:\\dados\\";
  settings.EdtPastaComp = share.Path();
  database.action = [](run::RunContext& context) { WriteBytes(context.names.sharePath, "remote backup"); };

  EXPECT_TRUE(Perform().archiveCreated);

  EXPECT_EQ(Log(), " \r\n" + kRule + "\r\n" +
                       "08122026 - 210728 - In\xED"
                       "cio do Backup\r\n"
                       "08122026 - 210728 - Criando arquivo: D:\\dados\\" +
                       kBackupName +
                       "\r\n"
                       "08122026 - 210728 - Transferindo arquivo do servidor...\r\n"
                       "08122026 - 210728 - Fim da Transfer\xEAncia.\r\n"
                       "08122026 - 210728 - Iniciando compacta\xE7\xE3o...\r\n"
                       "08122026 - 210728 - Backup Finalizado!\r\n");
  EXPECT_EQ(window.console,
            (std::vector<std::string>{
                "21:07:28 - Arquivo de backup criado.", "21:07:28 - Transferindo arquivo...",
                "21:07:28 - Fim da Transfer\xC3\xAAncia do Arquivo...", std::string(55, '-'),
                "21:07:28 - Compactando Arquivo...", "21:07:28 - Arquivo Compactado Criado..."}));
  EXPECT_FALSE(fs::exists(share.Root() / kBackupName));
  EXPECT_EQ(ReadBytes(Work() + kBackupName), "remote backup");
  EXPECT_EQ(ReadBytes(Work() + kArchiveName), "remote backup");
}

TEST_F(BackupRunTest, FailedCopyFromTheShareKeepsTheFileThere) {
  const TempFolder share;
  settings.EdtServidor = "dbserver";
  settings.EdtPastaComp = share.Path();
  // A folder under the backup file's name in the working folder survives the clean-up and makes the
  // copy fail.
  fs::create_directories(fs::path(Work()) / kBackupName);
  database.action = [](run::RunContext& context) { WriteBytes(context.names.sharePath, "only copy"); };

  EXPECT_FALSE(Perform().archiveCreated);

  EXPECT_EQ(ReadBytes(share.Path() + kBackupName), "only copy");
}

TEST_F(BackupRunTest, ShareThatIsTheWorkingFolderKeepsTheBackup) {
  for (const char* server : {"localhost", "dbserver"}) {
    settings.EdtServidor = server;
    settings.EdtPastaComp = Work();
    database.action = [](run::RunContext& context) {
      WriteBytes(context.names.localBackupPath, "only copy");
    };
    Perform();
    EXPECT_EQ(ReadBytes(Work() + kBackupName), "only copy") << server;
    EXPECT_EQ(ReadBytes(Work() + kArchiveName), "only copy") << server;
  }
}

TEST_F(BackupRunTest, CleanUpDeletesOnlyMatchingFilesWhateverTheirCase) {
  fs::create_directories(Work());
  const std::vector<std::string> deleted = {"old.bk", "OLD2.BK", "bk1.rar", "BKP0.RAR", "bk.rar"};
  const std::vector<std::string> kept = {"winrar.exe", "notes.txt",  "abk.rar",
                                         "x.bk.txt",   "bk.rar.old", "bkp.zip"};
  for (const std::string& name : deleted) WriteBytes(Work() + name, "old");
  for (const std::string& name : kept) WriteBytes(Work() + name, "keep");
  fs::create_directory(Work() + "folder.bk");
  fs::create_directory(Work() + "bkfolder.rar");
  WriteBytes(fs::path(Work()) / "folder.bk" / "inside.bk", "keep");

  Perform();

  for (const std::string& name : deleted) EXPECT_FALSE(fs::exists(Work() + name)) << name;
  for (const std::string& name : kept) EXPECT_EQ(ReadBytes(Work() + name), "keep") << name;
  EXPECT_TRUE(fs::is_directory(Work() + "bkfolder.rar"));
  EXPECT_TRUE(fs::exists(fs::path(Work()) / "folder.bk" / "inside.bk"));
  EXPECT_TRUE(fs::exists(Work() + kArchiveName));
  EXPECT_EQ(Log().find("Problemas"), std::string::npos);
}

TEST_F(BackupRunTest, RunFindingTheWorkingFolderLockedLogsOneLineAndTouchesNothing) {
  fs::create_directories(Work());
  WriteBytes(Work() + "old.bk", "the other run's backup");
  std::unique_ptr<platform::FolderLock> otherRun =
      platform::FolderLock::TryAcquire(Work() + std::string(run::kRunLockFileName));
  ASSERT_TRUE(otherRun);

  const run::RunOutcome outcome = Perform();

  EXPECT_TRUE(outcome.anotherRunActive);
  EXPECT_EQ(run::ExitStatus(outcome), run::kExitAnotherRunActive);
  EXPECT_EQ(Log(),
            " \r\n" + kRule + "\r\n" +
                "08122026 - 210728 - J\xE1 existe um backup em andamento nesta pasta de trabalho; esta "
                "execu\xE7\xE3o foi encerrada.\r\n");
  EXPECT_EQ(ReadBytes(Work() + "old.bk"), "the other run's backup");
  EXPECT_FALSE(fs::exists(Work() + "winrar.exe"));
  EXPECT_TRUE(window.endRequested);

  otherRun.reset();
  EXPECT_FALSE(Perform().anotherRunActive);
  EXPECT_FALSE(fs::exists(Work() + "old.bk"));
}

#ifndef _WIN32
// Links named like backups and archives, planted by whoever else can write into the working folder.
TEST_F(BackupRunTest, CleanUpRemovesLinksNamedLikeBackupsButNeverTheirTargets) {
  fs::create_directories(Work());
  const TempFolder outside;
  WriteBytes(outside / "precious.bk", "outside");
  fs::create_directory(outside.Root() / "precious-folder");
  fs::create_symlink(outside / "precious.bk", Work() + "bkp1.bk");
  fs::create_symlink(outside / "precious.bk", Work() + "bkp1.rar");
  fs::create_symlink(outside / "missing", Work() + "dangling.bk");
  fs::create_symlink(outside / "precious-folder", Work() + "folder-link.bk");

  Perform();

  for (const char* link : {"bkp1.bk", "bkp1.rar", "dangling.bk"})
    EXPECT_FALSE(fs::is_symlink(Work() + link)) << link;
  EXPECT_EQ(ReadBytes(outside / "precious.bk"), "outside");
  EXPECT_TRUE(fs::is_symlink(Work() + "folder-link.bk")) << "listed as a folder, so passed over";
  EXPECT_TRUE(fs::is_directory(outside.Root() / "precious-folder"));
  EXPECT_EQ(Log().find("Problemas"), std::string::npos);
}

// Links planted, after the clean-up, under the names the run then writes in the working folder.
TEST_F(BackupRunTest, LinksPlantedUnderTheRunsNamesAreNeverWrittenThrough) {
  const TempFolder share;
  const TempFolder outside;
  settings.EdtServidor = "dbserver";
  settings.EdtPastaComp = share.Path();
  WriteBytes(outside / "target", "outside");
  database.action = [&](run::RunContext& context) {
    WriteBytes(context.names.sharePath, "remote backup");
    fs::create_symlink(outside / "target", context.names.localBackupPath);
  };

  EXPECT_TRUE(Perform().archiveCreated);

  EXPECT_EQ(ReadBytes(outside / "target"), "outside");
  EXPECT_FALSE(fs::is_symlink(Work() + kBackupName));
  EXPECT_EQ(ReadBytes(Work() + kBackupName), "remote backup");
  EXPECT_EQ(ReadBytes(Work() + kArchiveName), "remote backup");
}
#endif

// Root deletes anything in a writable folder; the immutable attribute stops even root.
class ImmutableFile {
 public:
  explicit ImmutableFile(std::string path) : path_(std::move(path)) {
    WriteBytes(path_, "locked");
    locked_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
  }
  ~ImmutableFile() {
    if (locked_) std::system(("chattr -i '" + path_ + "'").c_str());
  }
  bool Locked() const { return locked_; }

 private:
  std::string path_;
  bool locked_ = false;
};

TEST_F(BackupRunTest, UndeletableFilesAreLoggedWithTheRunStampAndTheRunGoesOn) {
  fs::create_directories(Work());
  const ImmutableFile backup(Work() + "locked.bk");
  const ImmutableFile archive(Work() + "bkLOCKED.rar");
  if (!backup.Locked() || !archive.Locked())
    GTEST_SKIP() << "chattr +i needs root on a file system with attributes";
  clock.SetStep(1);

  Perform();

  const std::string log = Log();
  EXPECT_NE(log.find("08122026 - 210728 - Problemas ao excluir arquivos de backup...\r\n"
                     "08122026 - 210728 - Problemas ao excluir arquivos compactados...\r\n"
                     "08122026 - 2107"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(" - Backup Finalizado!\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(Work() + kArchiveName));
}

// Another local user made the working folder first and put a program under the archiver's name in it.
TEST_F(BackupRunTest, ArchiverPlantedInTheWorkingFolderNeverRunsAndTheRunStillArchives) {
  const testsupport::ThrowAwayUser other;
  fs::create_directories(Work());
  const std::string marker = root / "planted-program-ran";
  const std::string planted = "#!/bin/sh\necho ran > '" + marker + "'\n";
  WriteBytes(Work() + "winrar.exe", planted);
  fs::permissions(Work() + "winrar.exe", fs::perms::all);
  if (other.Made()) {
    ASSERT_TRUE(other.Own(Work()) && other.Own(Work() + "winrar.exe"));
    fs::permissions(Work(), fs::perms::all);
  }
  database.action = [](run::RunContext& context) { WriteBytes(context.names.serverBackupPath, "backup"); };

  const run::RunOutcome outcome = Perform();

  EXPECT_FALSE(fs::exists(marker));
  EXPECT_EQ(ReadBytes(Work() + "winrar.exe"), planted) << "the working folder's file is left alone";
  EXPECT_TRUE(outcome.archiveCreated);
  EXPECT_EQ(ReadBytes(Work() + kArchiveName), "backup");
  EXPECT_TRUE(ArchiverCommand().starts_with(Private() + "winrar.exe "));
  if (!other.Made()) GTEST_SKIP() << "checked without a second user, who cannot be made here";
}

TEST_F(BackupRunTest, MissingArchiverIsWrittenIntoThePrivateFolderAndRun) {
  Perform();
  EXPECT_EQ(ReadBytes(Private() + "winrar.exe"), kStandInArchiver);
  EXPECT_FALSE(fs::exists(Work() + "winrar.exe"));
  EXPECT_TRUE(fs::exists(Work() + kArchiveName));
}

TEST_F(BackupRunTest, ArchiverRunsFromAPrivateFolderWhoseNameHasBlanks) {
  const std::string folder = root / "Ana Maria" + platform::kPathSeparator;
  run::RunEnvironment environment{clock,    sleeper, Work(),
                                  Config(), folder,  std::as_bytes(std::span(archiver))};

  EXPECT_TRUE(
      run::BackupRun(settings, window, {database, destination, ftp}, environment).Perform().archiveCreated);

  EXPECT_TRUE(ArchiverCommand().starts_with(folder + "winrar.exe a -ep -ibck ")) << ArchiverCommand();
}

TEST_F(BackupRunTest, PrivateFolderThatCannotBeMadeEndsTheRunAtTheArchiver) {
  WriteBytes(Private().substr(0, Private().size() - 1), "a file where the folder should be");

  EXPECT_THROW(Perform(), platform::Exception);

  EXPECT_EQ(Log(), " \r\n" + kRule + "\r\n");
  EXPECT_TRUE(window.buttonsDisabled);
  EXPECT_FALSE(window.endRequested);
  EXPECT_EQ(database.calls, 0);
}

TEST_F(BackupRunTest, DatabaseErrorEndsTheRunBeforeItsEndStep) {
  database.action = [](run::RunContext&) {
    throw platform::Exception("Your user name and password are not defined");
  };

  EXPECT_THROW(Perform(), platform::Exception);

  const std::string log = Log();
  EXPECT_TRUE(log.ends_with(" - Criando arquivo: " + Work() + kBackupName + "\r\n")) << log;
  EXPECT_TRUE(window.buttonsDisabled);
  EXPECT_FALSE(window.endRequested);
  EXPECT_FALSE(fs::exists(Work() + "archiver-command.txt"));
}

TEST_F(BackupRunTest, MissingBackupFileSkipsStraightToTheEndStep) {
  settings.CheckDestino = true;
  settings.CheckFTP = true;
  database.action = [](run::RunContext& context) {
    context.log.WriteStamped(run::texts::kLogCannotCreateFile);
  };
  database.outcome = run::DatabaseOutcome::BackupFileMissing;

  const run::RunOutcome outcome = Perform();

  EXPECT_TRUE(Log().ends_with(" - Criando arquivo: " + Work() + kBackupName +
                              "\r\n08122026 - 210728 - N\xE3o \xE9 poss\xEDvel criar o arquivo"
                              "\r\n08122026 - 210728 - Backup Finalizado!\r\n"));
  EXPECT_TRUE(window.console.empty());
  EXPECT_TRUE(deliveries.empty());
  EXPECT_FALSE(fs::exists(Work() + "archiver-command.txt"));
  EXPECT_TRUE(window.endRequested);
  EXPECT_EQ(outcome.database, run::DatabaseOutcome::BackupFileMissing);
}

TEST_F(BackupRunTest, DeliveriesRunInOrderWhateverTheDestinationEndedWith) {
  struct Case {
    bool destinationOn;
    bool ftpOn;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {false, false, {}},
      {true, false, {"destination"}},
      {false, true, {"ftp"}},
      {true, true, {"destination", "ftp"}},
  };
  RecordingDelivery cancelledDestination{"destination", deliveries, run::DeliveryOutcome::NotDelivered};
  for (const Case& testCase : cases) {
    deliveries.clear();
    settings.CheckDestino = testCase.destinationOn;
    settings.CheckFTP = testCase.ftpOn;
    run::RunEnvironment environment{clock,    sleeper,   Work(),
                                    Config(), Private(), std::as_bytes(std::span(archiver))};
    const run::RunOutcome outcome =
        run::BackupRun(settings, window, {database, cancelledDestination, ftp}, environment).Perform();
    EXPECT_EQ(deliveries, testCase.calls);
    EXPECT_EQ(outcome.destination.has_value(), testCase.destinationOn);
    EXPECT_EQ(outcome.ftp, testCase.ftpOn ? std::optional(run::DeliveryOutcome::Delivered) : std::nullopt);
  }
}

TEST_F(BackupRunTest, RunGoesOnWithoutALogThatCannotBeOpened) {
  fs::remove(root.Root() / "config");

  Perform();

  EXPECT_FALSE(fs::exists(root.Root() / "config"));
  EXPECT_TRUE(window.endRequested);
  EXPECT_EQ(window.console.back(), "21:07:28 - Arquivo Compactado Criado...");
  EXPECT_TRUE(fs::exists(Work() + kArchiveName));
}

TEST_F(BackupRunTest, SettingsChangedDuringTheRunDoNotReachIt) {
  settings.CheckFTP = false;
  database.action = [this](run::RunContext& context) {
    settings.CheckFTP = true;
    WriteBytes(context.names.serverBackupPath, "backup");
  };
  Perform();
  EXPECT_TRUE(deliveries.empty());
}

}  // namespace

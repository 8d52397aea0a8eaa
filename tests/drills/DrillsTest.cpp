// Fault drills: the real torvi-backup against real servers while something goes wrong, checking the exit
// status, the log and that nothing is lost. A client library of ours stands in for the database server and
// copies a chosen file as the backup, so that the archive is as large as a drill needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/support/ShellCommand.h"
#include "tests/support/SmallVolume.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::FileNames;
using testsupport::ReadBytes;
using testsupport::RunCommand;
using testsupport::ShellQuote;

constexpr std::int64_t kMiB = 1 << 20;
const std::string kAlreadyRunning =
    "Já existe um backup em andamento nesta pasta de trabalho; esta execução foi encerrada.";

const std::string kFakeDatabaseServer = "LD_LIBRARY_PATH=" + ShellQuote(DRILL_CLIENT_FOLDER);

// One run of the program, with the fake database server unless `environment` says otherwise; its exit
// status (128 + the signal when a signal ended it).
int RunProgram(const std::string& config, const std::string& work, const std::string& options = "",
               const std::string& environment = kFakeDatabaseServer) {
  // The archiver's private folder beside the settings, never in the home of the user running the tests.
  // Run from the settings folder: whatever a damaged setting makes relative lands there, never elsewhere.
  return RunCommand("cd " + ShellQuote(config) + " && XDG_DATA_HOME=" + ShellQuote(config + "data") + " " +
                    environment + " " + TORVI_BACKUP_PROGRAM + " --config " + ShellQuote(config) +
                    " --work " + ShellQuote(work) + " " + options + " >/dev/null 2>&1")
      .exitCode;
}

class DrillTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"config", "work"}) fs::create_directory(root / name);
    settings.EdtServidor = "localhost";
    settings.EdtBase = root / "database.fdb";
    settings.EdtUsuario = "SYSDBA";
    settings.EdtSenha = "masterkey";
    settings.ComboBox1 = 1;
    settings.Check_ErroFTP = true;
  }

  std::string Config() const { return root / "config/"; }
  std::string Work() const { return root / "work/"; }

  // The "database": its bytes become the backup and, stored, the archive.
  void Database(std::int64_t size) { ftpfixtures::WritePseudoRandomFile(settings.EdtBase, size); }

  void UseFtp(const ftpfixtures::PyFtpServer& server, const std::string& folder) {
    settings.CheckFTP = true;
    settings.EdtServidorFTP = "127.0.0.1";
    settings.EdtPortaFTP = std::to_string(server.Port());
    settings.EdtUsuarioFTP = ftpfixtures::PyFtpServer::kUser;
    settings.EdtSenhaFTP = ftpfixtures::PyFtpServer::kPassword;
    settings.EdtPastaFTP = folder;
  }

  void SaveSettings() { app::SaveSettings(settings, Config() + app::kSettingsFileName); }

  int Run() const { return RunProgram(Config(), Work()); }

  std::vector<std::string> LogMessages() const {
    std::vector<std::string> messages;
    for (const std::string& line : testsupport::LogLines(Config() + "BkpLog.txt")) {
      if (line.size() > 17 && line[8] == ' ') messages.push_back(line.substr(17));
    }
    return messages;
  }

  std::string LocalArchive() const {
    const std::vector<std::string> archives = FileNames(Work(), ".rar");
    return archives.size() == 1 ? Work() + archives.front() : "";
  }

  // The archive's one entry, extracted by an independent reader, is the database's bytes.
  void ExpectArchiveHoldsTheDatabase(const std::string& archive) const {
    ASSERT_FALSE(archive.empty());
    EXPECT_EQ(RunCommand("bsdtar -xOf " + ShellQuote(archive) + " | cmp -s - " + ShellQuote(settings.EdtBase))
                  .exitCode,
              0)
        << archive;
  }

  ftpfixtures::ScratchFolder root;
  app::BackupSettings settings;
};

std::int64_t SizeOf(const fs::path& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  return error ? -1 : static_cast<std::int64_t>(size);
}

// Waits until `condition` holds, polling; false after `seconds`.
bool WaitFor(const std::function<bool()>& condition, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// Three archives of earlier runs in the server's folder "backups", which the drills' runs upload to.
const std::vector<std::string> earlier{"bkp01012026000000.rar", "bkp02012026000000.rar",
                                       "bkp03012026000000.rar"};

fs::path ServerFolderWithEarlierArchives(const ftpfixtures::PyFtpServer& server) {
  const fs::path folder = fs::path(server.Home()) / "backups";
  fs::create_directory(folder);
  for (const std::string& name : earlier) testsupport::WriteBytes(folder / name, "earlier " + name);
  return folder;
}

// The FTP server killed in the middle of a 200 MB upload, on every attempt or on the first only.
TEST_F(DrillTest, FtpServerKilledDuringTheUpload) {
  for (const int kills : {3, 1}) {
    SCOPED_TRACE(std::to_string(kills) + " kill(s)");
    fs::remove_all(Work());
    fs::remove(Config() + "BkpLog.txt");
    ftpfixtures::PyFtpServer server;
    const fs::path folder = ServerFolderWithEarlierArchives(server);
    Database(200 * kMiB);
    UseFtp(server, "backups");
    settings.edtarquivosftp = "2";
    SaveSettings();

    std::future<int> run = std::async(std::launch::async, [this] { return Run(); });
    const auto partial = [&folder] {
      for (const std::string& name : FileNames(folder)) {
        if (name.ends_with(".parcial")) return folder / name;
      }
      return fs::path();
    };
    for (int kill = 0; kill < kills; ++kill) {
      // Each attempt starts the temporary file anew; kill once it is well under way.
      if (kill > 0) {
        ASSERT_TRUE(WaitFor([&] { return SizeOf(partial()) < 20 * kMiB; }, 60));
      }
      ASSERT_TRUE(WaitFor([&] { return SizeOf(partial()) > 20 * kMiB; }, 120)) << "attempt " << kill + 1;
      server.KillAndRestart();
    }
    const int exitCode = run.get();

    const std::vector<std::string> messages = LogMessages();
    if (kills == 3) {
      EXPECT_EQ(exitCode, 2);
      EXPECT_EQ(std::count(messages.begin(), messages.end(), " - Abortado pelo Usuário!"), 1);
      // Every earlier archive is still there; nothing under a final name is half written.
      std::vector<std::string> names = FileNames(folder);
      std::erase_if(names, [](const std::string& name) { return name.ends_with(".parcial"); });
      EXPECT_EQ(names, earlier);
    } else {
      EXPECT_EQ(exitCode, 0);
      const std::string archive = LocalArchive();
      ASSERT_FALSE(archive.empty());
      const std::string name = fs::path(archive).filename();
      EXPECT_EQ(FileNames(folder), (std::vector<std::string>{earlier[2], name}));
      EXPECT_EQ(SizeOf(folder / name), SizeOf(archive));
      EXPECT_EQ(
          RunCommand("cmp -s " + ShellQuote(archive) + " " + ShellQuote((folder / name).string())).exitCode,
          0);
    }
  }
}

// Servers that refuse the upload, know no renames, or lie about the size they hold.
TEST_F(DrillTest, FaultyServersNeverCostAnArchive) {
  struct Case {
    const char* fault;
    int exitCode;
  };
  for (const Case& c : {Case{"refuse-stor", 2}, Case{"refuse-rnfr", 0}, Case{"lie-size", 2}}) {
    SCOPED_TRACE(c.fault);
    fs::remove_all(Work());
    ftpfixtures::PyFtpServer server(c.fault);
    const fs::path folder = ServerFolderWithEarlierArchives(server);
    Database(4 * kMiB);
    UseFtp(server, "/backups");
    settings.edtarquivosftp = "2";
    SaveSettings();

    EXPECT_EQ(Run(), c.exitCode);

    if (c.exitCode == 0) {
      const std::string archive = LocalArchive();
      const std::string name = fs::path(archive).filename();
      EXPECT_EQ(FileNames(folder), (std::vector<std::string>{earlier[2], name}));
      EXPECT_EQ(ReadBytes(folder / name), ReadBytes(archive));
    } else {
      EXPECT_EQ(FileNames(folder), earlier);
    }
  }
}

// A server that never answers, and one that stops reading in the middle of the upload. With the program's
// own bounds a run gives up after three attempts of at most two minutes each (the read timeout, and the
// low-speed floor of 1 KiB/s over 120 s); here the run's ceiling, set to one minute, ends it sooner.
TEST_F(DrillTest, SilentServersEndTheRunWithinItsBounds) {
  for (const char* scenario : {"greeting_never_comes", "stops_reading_the_upload"}) {
    SCOPED_TRACE(scenario);
    fs::remove(Config() + "BkpLog.txt");
    ftpfixtures::FakeFtpServer server(scenario);
    Database(8 * kMiB);
    settings.CheckFTP = true;
    settings.EdtServidorFTP = "127.0.0.1";
    settings.EdtPortaFTP = std::to_string(server.Port());
    settings.EdtPastaFTP = "";
    SaveSettings();
    app::WriteProfileString(Config() + app::kSettingsFileName, "Configuracao", "TempoMaximoMinutos", "1");

    EXPECT_EQ(Run(), 2);

    const std::vector<std::string> messages = LogMessages();
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [](const std::string& message) {
      return message.starts_with(" - Tempo máximo de execução (1 minutos) atingido");
    }));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), " - Backup Finalizado!"), 1);
  }
}

TEST_F(DrillTest, TwoRunsAtOnceOneRunsTheOtherSaysSoAndEnds) {
  Database(64 * kMiB);
  SaveSettings();

  std::future<int> first = std::async(std::launch::async, [this] { return Run(); });
  std::future<int> second = std::async(std::launch::async, [this] { return Run(); });
  std::vector<int> exitCodes{first.get(), second.get()};
  std::sort(exitCodes.begin(), exitCodes.end());

  EXPECT_EQ(exitCodes, (std::vector<int>{0, 4}));
  const std::vector<std::string> messages = LogMessages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), " - " + kAlreadyRunning), 1);
  EXPECT_EQ(std::count(messages.begin(), messages.end(), " - Backup Finalizado!"), 1);
  ExpectArchiveHoldsTheDatabase(LocalArchive());
}

TEST_F(DrillTest, WorkingFolderFullWhileArchivingLeavesNoArchiveAndSaysSo) {
  testsupport::SmallVolume volume(Work(), "100m");
  if (!volume.Mounted()) GTEST_SKIP() << "a small volume cannot be mounted here";
  // The backup fits; its archive (stored, as random bytes do not shrink) does not.
  Database(60 * kMiB);
  SaveSettings();

  EXPECT_EQ(Run(), 2);

  EXPECT_EQ(LocalArchive(), "");
  const std::vector<std::string> messages = LogMessages();
  EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [](const std::string& message) {
    return message.starts_with(" - O arquivo compactado não foi criado");
  }));
}

// A settings file cut at every byte in turn (a full disk, a copy broken off): never a crash; either the
// file is refused (3) or the run goes on with the values read.
TEST_F(DrillTest, SettingsFileTruncatedAtEveryByte) {
  Database(4096);
  settings.CheckDestino = true;
  settings.EdtDestino = root / "destino/";
  fs::create_directory(settings.EdtDestino);
  SaveSettings();
  const std::string whole = ReadBytes(Config() + app::kSettingsFileName);

  // Four runs at a time, each with a settings folder and a working folder of its own.
  constexpr std::size_t kLanes = 4;
  for (std::size_t first = 0; first < whole.size(); first += kLanes) {
    std::vector<std::future<int>> runs;
    for (std::size_t length = first; length < std::min(first + kLanes, whole.size()); ++length) {
      const fs::path lane = root / ("lane" + std::to_string(length % kLanes));
      fs::create_directories(lane / "config");
      testsupport::WriteBytes(lane / "config" / app::kSettingsFileName, whole.substr(0, length));
      runs.push_back(std::async(std::launch::async, [lane] {
        return RunProgram((lane / "config/").string(), (lane / "work/").string(), "--noftp");
      }));
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
      const int exitCode = runs[i].get();
      EXPECT_TRUE(exitCode == 0 || exitCode == 1 || exitCode == 2 || exitCode == 3)
          << "cut at " << first + i << ": exit " << exitCode;
    }
  }
}

// The real database server killed while it writes the backup: the run ends in the database stage (1)
// and no archive is made from the partial backup.
TEST_F(DrillTest, DatabaseServerKilledDuringTheBackup) {
  fixtures::FirebirdServer firebird;
  const std::string database = firebird.CreateSampleDatabase("grande.fdb");
  // About 30 MB of distinct rows, so that the backup takes long enough to be cut.
  ASSERT_EQ(
      firebird
          .Sql(database,
               "create table filler (id integer not null primary key, s varchar(250) not null); commit; "
               "set term ^; execute block as declare i integer = 1; declare u varchar(36); begin "
               "while (i <= 150000) do begin u = uuid_to_char(gen_uuid()); "
               "insert into filler values (:i, :u || :u || :u || :u || :u || :u); i = i + 1; end end^ "
               "set term ;^ commit;")
          .exitCode,
      0);
  const fs::path serverFolder = firebird.Folder() + "backup";
  settings.EdtServidor = firebird.Address();
  settings.EdtBase = database;
  settings.EdtSenha = firebird.Password();
  settings.EdtPastaTemp = serverFolder.string() + "/";
  settings.EdtPastaComp = serverFolder.string() + "/";
  SaveSettings();

  std::future<int> run =
      std::async(std::launch::async, [this] { return RunProgram(Config(), Work(), "", ""); });
  const bool cut = WaitFor(
      [&serverFolder] {
        const std::vector<std::string> backups = FileNames(serverFolder, ".bk");
        return !backups.empty() && SizeOf(serverFolder / backups.front()) > kMiB;
      },
      120);
  firebird.Kill();
  ASSERT_TRUE(cut) << "the backup never began";

  EXPECT_EQ(run.get(), 1);
  EXPECT_EQ(FileNames(Work(), ".rar"), std::vector<std::string>{});
  const std::vector<std::string> messages = LogMessages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), " - Backup Finalizado!"), 0);
}

}  // namespace

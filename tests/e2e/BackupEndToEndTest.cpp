// Whole runs of torvi-backup: the private Firebird server writes the backup, the run archives it, copies
// it to a destination folder and uploads it to pyftpdlib, keeping ten archives there.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/SettingsFile.h"
#include "tests/fixtures/WholeRunSettings.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using fixtures::CommandResult;
using fixtures::RunCommand;
using fixtures::ShellQuote;
using testsupport::FileNames;
using testsupport::Lines;
using testsupport::ReadBytes;

struct Outcome {
  int exitCode;
  std::vector<std::string> console;  // standard output
  std::string errors;
};

class BackupEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"config", "work", "destino", "extract"}) fs::create_directory(root / name);
    settings = fixtures::WholeRunSettings(firebird, ftpServer, Destination() + "/");
    settings.edtarquivosftp = "10";
  }

  std::string Config() const { return root / "config/"; }
  std::string Work() const { return root / "work/"; }
  std::string Destination() const { return root / "destino"; }
  fs::path ServerFolder() const { return fs::path(ftpServer.Home()) / "backup"; }

  Outcome Run(const std::string& options = "") {
    app::SaveSettings(settings, Config() + app::kSettingsFileName);
    const std::string errors = root / "stderr.txt";
    // RunCommand joins standard error to the output; the program's own goes to a file of its own. The
    // user's private folder, where the archiver goes, is the test's own too.
    const CommandResult result =
        RunCommand("(XDG_DATA_HOME=" + ShellQuote(root / "data") + " " + std::string(TORVI_BACKUP_PROGRAM) +
                   " --config " + ShellQuote(Config()) + " --work " + ShellQuote(Work()) + " " + options +
                   " 2>" + ShellQuote(errors) + ")");
    return {result.exitCode, Lines(result.output, "\n"), ReadBytes(errors)};
  }

  // The log's lines as UTF-8.
  std::vector<std::string> Log() const { return testsupport::LogLines(Config() + "BkpLog.txt"); }

  // The one archive the last run left in the working folder.
  std::string LocalArchive() const {
    const std::vector<std::string> archives = FileNames(Work(), ".rar");
    return archives.size() == 1 ? archives.front() : "";
  }

  ftpfixtures::ScratchFolder root;
  fixtures::FirebirdServer firebird;
  ftpfixtures::PyFtpServer ftpServer;
  app::BackupSettings settings;
};

// A stamped log line: "ddmmyyyy - hhmmss" and the message.
void ExpectStamped(const std::string& line, const std::string& message) {
  static const std::regex stamp("[0-9]{8} - [0-9]{6}");
  ASSERT_GT(line.size(), 17u) << line;
  EXPECT_TRUE(std::regex_match(line.substr(0, 17), stamp)) << line;
  EXPECT_EQ(line.substr(17), message);
}

TEST_F(BackupEndToEndTest, RunsDeliverTheArchiveAndRotateTheServer) {
  // Twelve earlier archives; the three oldest by the dates in their names are not the first by name.
  std::vector<std::string> earlier;
  for (int day = 2; day <= 10; ++day)
    earlier.push_back("bkp" + std::string(day < 10 ? "0" : "") + std::to_string(day) + "012026000000.rar");
  const std::vector<std::string> oldest{"bkp15062025120000.rar", "bkp31122025235959.rar",
                                        "bkp01012026000000.rar"};
  for (const std::string& name : earlier) std::ofstream(ServerFolder() / name) << "earlier";
  for (const std::string& name : oldest) std::ofstream(ServerFolder() / name) << "oldest";
  std::ofstream(ServerFolder() / "leia.txt") << "not an archive";

  const Outcome first = Run();

  ASSERT_EQ(first.exitCode, 0) << first.errors;
  const std::string archive = LocalArchive();
  ASSERT_EQ(archive.size(), 21u);
  const std::string backup = archive.substr(0, 17) + ".bk";
  const std::string runStamp = archive.substr(3, 8) + " - " + archive.substr(11, 6);

  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 11u);
  EXPECT_EQ(log[0], " ");
  EXPECT_EQ(log[1], std::string(63, '-'));
  EXPECT_EQ(log[2], runStamp + " - Início do Backup");
  ExpectStamped(log[3], " - Criando arquivo: " + settings.EdtPastaTemp + backup);
  ExpectStamped(log[4], " - Transferindo arquivo do servidor...");
  ExpectStamped(log[5], " - Fim da Transferência.");
  ExpectStamped(log[6], " - Iniciando compactação...");
  ExpectStamped(log[7], " - Arquivo compactado Criado!");
  ExpectStamped(log[8], " - Iniciando tentativa de envio por FTP!");
  ExpectStamped(log[9], " - Arquivo Enviado com Sucesso!");
  ExpectStamped(log[10], " - Backup Finalizado!");

  const auto printed = [&first](const std::string& text) {
    return std::any_of(first.console.begin(), first.console.end(),
                       [&text](const std::string& line) { return line.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(printed("gbak:closing file, committing, and finishing."));
  EXPECT_TRUE(printed("Arquivo " + settings.EdtDestino + archive + " Criado com Sucesso!"));
  EXPECT_TRUE(printed(" - Iniciando tentativa de envio por FTP! - 1ª Tentativa de 3."));

  // The same bytes in the working folder, the destination and on the server.
  const std::string bytes = ReadBytes(Work() + archive);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(ReadBytes(settings.EdtDestino + archive), bytes);
  EXPECT_EQ(ReadBytes(ServerFolder() / archive), bytes);
  EXPECT_FALSE(fs::exists(settings.EdtPastaComp + backup));
  EXPECT_EQ(FileNames(Work()), (std::vector<std::string>{backup, archive, "torvi-backup.lock"}))
      << "the archiver runs from elsewhere";
  EXPECT_TRUE(fs::exists(root / "data/torvi/winrar.exe"));

  // An independent reader extracts the backup and the server restores it.
  const std::string extract = root / "extract";
  const CommandResult extracted =
      RunCommand("bsdtar -xf " + ShellQuote(Work() + archive) + " -C " + ShellQuote(extract));
  ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
  EXPECT_EQ(FileNames(extract), std::vector<std::string>{backup});
  EXPECT_EQ(ReadBytes(extract + "/" + backup), ReadBytes(Work() + backup));
  const std::string restoredDatabase = firebird.Folder() + "data/restored.fdb";
  const CommandResult restored = firebird.Restore(extract + "/" + backup, restoredDatabase);
  ASSERT_EQ(restored.exitCode, 0) << restored.output;
  const CommandResult count = firebird.Sql(restoredDatabase, "select count(*) from orders;");
  EXPECT_NE(count.output.find("10000"), std::string::npos) << count.output;

  // Twelve kept ten: the three oldest by name date went, the new one came.
  std::vector<std::string> expected = earlier;
  expected.insert(expected.end(), {archive, "leia.txt"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FileNames(ServerFolder()), expected);

  // A second run, in another second, rotates again: the oldest left goes.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  const Outcome second = Run();
  ASSERT_EQ(second.exitCode, 0) << second.errors;
  const std::string secondArchive = LocalArchive();
  ASSERT_NE(secondArchive, archive);
  ASSERT_EQ(secondArchive.size(), 21u);
  expected.erase(std::find(expected.begin(), expected.end(), "bkp02012026000000.rar"));
  expected.push_back(secondArchive);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FileNames(ServerFolder()), expected);
  EXPECT_EQ(ReadBytes(ServerFolder() / secondArchive), ReadBytes(Work() + secondArchive));
  EXPECT_EQ(FileNames(Destination()), (std::vector<std::string>{archive, secondArchive}));
  EXPECT_EQ(Log().size(), 22u);
}

TEST_F(BackupEndToEndTest, CancelledDestinationEndsTheRunWithStatusTwo) {
  settings.EdtDestino = root / "nowhere/";
  settings.CheckFTP = false;

  const Outcome outcome = Run();

  EXPECT_EQ(outcome.exitCode, 2) << outcome.errors;
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 10u);
  ExpectStamped(log[7], " - Não é possível criar arquivos no destino." + settings.EdtDestino);
  ExpectStamped(log[8], " - Cópia de segurança cancelada pelo Usuário.");
  ExpectStamped(log[9], " - Backup Finalizado!");
  EXPECT_NE(outcome.errors.find("teste: Não foi possível criar o arquivo"), std::string::npos)
      << outcome.errors;
}

TEST_F(BackupEndToEndTest, TestFtpReportsTheConnection) {
  const Outcome good = Run("--test-ftp");
  EXPECT_EQ(good.exitCode, 0);
  EXPECT_EQ(good.errors, "Conexão OK!\n");
  EXPECT_TRUE(FileNames(ServerFolder()).empty());
  EXPECT_FALSE(fs::exists(Config() + "BkpLog.txt"));

  settings.EdtSenhaFTP = "errada";
  const Outcome bad = Run("--test-ftp");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_EQ(bad.errors, "Problemas com a Conexão.\n");
}

// A person at a terminal sees a bar for the archiving and one for the upload; a pipe or a log gets the
// console lines alone.
TEST_F(BackupEndToEndTest, ProgressBarsOnlyAtATerminal) {
  const Outcome piped = Run();
  ASSERT_EQ(piped.exitCode, 0) << piped.errors;
  for (const std::string& line : piped.console) {
    EXPECT_EQ(line.find_first_of("\r\033"), std::string::npos) << line;
  }

  // The same run on a pseudo-terminal.
  const std::string command = std::string(TORVI_BACKUP_PROGRAM) + " --config " + ShellQuote(Config()) +
                              " --work " + ShellQuote(Work());
  const CommandResult atTerminal = RunCommand("script -q -e -c " + ShellQuote(command) + " /dev/null");
  ASSERT_EQ(atTerminal.exitCode, 0) << atTerminal.output;
  for (const char* bar : {"\rCompactação [##############################] 100%",
                          "\rEnvio FTP [##############################] 100%", " - Arquivo Enviado com Sucesso!"}) {
    EXPECT_NE(atTerminal.output.find(bar), std::string::npos) << bar << "\n" << atTerminal.output;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "run/ConnectionTest.h"
#include "run/FtpDeliveryGauge.h"
#include "run/FtpDeliveryStage.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/run/DeliveryHarness.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ThrowAwayUser.h"

namespace {

using deliverytest::AnsweringWindow;
using deliverytest::DeliveryHarness;
using deliverytest::kArchiveName;
using testsupport::FileNames;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
namespace fs = std::filesystem;

const std::string kAttemptLog = " - Iniciando tentativa de envio por FTP!";
const std::string kSentLog = " - Arquivo Enviado com Sucesso!";
const std::string kGivenUpLog = " - Abortado pelo Usuário!";
const std::string kFailedLog = " - Problemas com a Conexão!";
const std::vector<std::string> kThreeFailedAttempts{kAttemptLog, kFailedLog,  kAttemptLog, kFailedLog,
                                                    kAttemptLog, kGivenUpLog, kFailedLog};
const std::string kFtpQuestion =
    "Falha na Conexão!|Problemas na conexão com a Internet. Verifique se a conexão está disponível.\r"
    "Clique em OK para tentar novamente.";

std::string AttemptConsoleLine(int attempt) {
  return "21:07:28 - Iniciando tentativa de envio por FTP! - " + std::to_string(attempt) +
         "ª Tentativa de 3.";
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// One of the real servers, seen the same way.
class FtpPeer {
 public:
  explicit FtpPeer(bool vsftpd) {
    if (vsftpd) {
      vsftpd_ = std::make_unique<ftpfixtures::VsFtpServer>();
    } else {
      pyftpd_ = std::make_unique<ftpfixtures::PyFtpServer>();
    }
  }
  int Port() const { return vsftpd_ ? vsftpd_->Port() : pyftpd_->Port(); }
  fs::path Home() const { return vsftpd_ ? vsftpd_->Home() : pyftpd_->Home(); }
  std::string User() const { return vsftpd_ ? vsftpd_->User() : ftpfixtures::PyFtpServer::kUser; }
  std::string Password() const {
    return vsftpd_ ? ftpfixtures::VsFtpServer::kPassword : ftpfixtures::PyFtpServer::kPassword;
  }
  // A folder of the server holding `names`, which the login user may change.
  fs::path Folder(const std::string& name, const std::vector<std::string>& names) const {
    const fs::path folder = Home() / name;
    fs::create_directories(folder);
    for (const std::string& file : names) WriteBytes(folder / file, "earlier " + file);
    if (vsftpd_) std::system(("chown -R " + User() + ": " + folder.string()).c_str());
    return folder;
  }

 private:
  std::unique_ptr<ftpfixtures::PyFtpServer> pyftpd_;
  std::unique_ptr<ftpfixtures::VsFtpServer> vsftpd_;
};

class FtpStageTest : public testing::Test {
 protected:
  void SetUp() override {
    harness.Archive(archive);
    harness.settings.CheckFTP = true;
    harness.settings.EdtServidorFTP = "127.0.0.1";
    harness.settings.EdtPastaFTP = "/backup";
    harness.settings.edtarquivosftp = "10";
  }
  void UseServer(const FtpPeer& peer, bool passive = true) {
    harness.settings.EdtPortaFTP = std::to_string(peer.Port());
    harness.settings.EdtUsuarioFTP = peer.User();
    harness.settings.EdtSenhaFTP = peer.Password();
    harness.settings.ComboBox1 = passive ? 1 : 0;
  }
  run::DeliveryOutcome Deliver() {
    run::ConnectGauge(*client, harness.window);
    run::FtpDeliveryStage stage(*client);
    return harness.Perform(stage);
  }

  DeliveryHarness harness;
  std::unique_ptr<ftp::TIdFTP> client = run::MakeIdFTP1();
  std::string archive = std::string(200000, 'z') + "end";
};

const std::vector<std::string> kTwelveArchives{
    "bkp02012026000000.rar", "bkp03012026000000.rar", "bkp04012026000000.rar", "bkp05012026000000.rar",
    "bkp06012026000000.rar", "bkp07012026000000.rar", "bkp08012026000000.rar", "bkp09012026000000.rar",
    "bkp10012026000000.rar",
    // The three oldest by the dates in their names, whatever their places in a listing.
    "bkp15062025120000.rar", "bkp31122025235959.rar", "bkp01012026000000.rar"};

struct ServerCase {
  const char* name;
  bool vsftpd;
  bool passive;
};

class FtpRetentionTest : public FtpStageTest, public testing::WithParamInterface<ServerCase> {};

TEST_P(FtpRetentionTest, TwelveArchivesKeepTenLeaveTenWithTheOldestByNameDateDeleted) {
  const FtpPeer peer(GetParam().vsftpd);
  std::vector<std::string> onServer = kTwelveArchives;
  onServer.insert(onServer.end(), {"bkp01012019000000.zip", "leia.txt", "BKPANTIGO.TXT"});
  const fs::path folder = peer.Folder("backup", onServer);
  UseServer(peer, GetParam().passive);

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered);

  std::vector<std::string> expected(kTwelveArchives.begin(), kTwelveArchives.begin() + 9);
  expected.insert(expected.end(), {kArchiveName, "bkp01012019000000.zip", "leia.txt", "BKPANTIGO.TXT"});
  EXPECT_EQ(FileNames(folder), Sorted(expected));
  EXPECT_EQ(ReadBytes(folder / kArchiveName), archive);
  EXPECT_EQ(harness.LogMessages(), (std::vector<std::string>{kAttemptLog, kSentLog}));
  EXPECT_EQ(harness.window.console,
            (std::vector<std::string>{AttemptConsoleLine(1), "21:07:28 - Transferindo....",
                                      "21:07:28 - Arquivo Enviado com Sucesso!"}));
  // The gauge shows while connected and follows the upload to its announced size.
  const std::vector<std::string>& gauge = harness.window.gauge;
  const auto shown = std::find(gauge.begin(), gauge.end(), "show");
  ASSERT_NE(shown, gauge.end());
  const std::string size = std::to_string(archive.size());
  EXPECT_NE(std::find(shown, gauge.end(), "max " + size), gauge.end());
  EXPECT_EQ(gauge.back(), "progress " + size);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpRetentionTest,
                         testing::Values(ServerCase{"pyftpdlib_passive", false, true},
                                         ServerCase{"pyftpdlib_active", false, false},
                                         ServerCase{"vsftpd_passive", true, true},
                                         ServerCase{"vsftpd_active", true, false}),
                         [](const testing::TestParamInfo<ServerCase>& info) { return info.param.name; });

// The folder as people type it: relative or absolute, one or two levels, made when missing. The
// connection test and the delivery must agree on each.
TEST_F(FtpStageTest, RelativeAndAbsoluteFoldersAgreeBetweenTheConnectionTestAndTheDelivery) {
  for (const bool vsftpd : {false, true}) {
    const FtpPeer peer(vsftpd);
    UseServer(peer);
    for (const std::string remoteFolder : {"backups", "/absoluta", "a/b", "/c/d"}) {
      SCOPED_TRACE(std::string(vsftpd ? "vsftpd " : "pyftpdlib ") + remoteFolder);
      harness.settings.EdtPastaFTP = remoteFolder;
      DeliveryHarness delivery;
      delivery.Archive(archive);
      delivery.settings = harness.settings;
      run::FtpDeliveryStage stage(*client);
      EXPECT_EQ(delivery.Perform(stage), run::DeliveryOutcome::Delivered);

      AnsweringWindow window;
      std::unique_ptr<ftp::TIdFTP> testClient = run::MakeIdFTP1();
      testsupport::TempFolder work;
      const std::string payload = "archiver";
      EXPECT_TRUE(run::BtnTestaConexaoClick({harness.settings, *testClient, window, work.Path(), work.Path(),
                                             std::as_bytes(std::span(payload))}));

      const fs::path folder = peer.Home() / fs::path(remoteFolder).relative_path();
      EXPECT_EQ(FileNames(folder), std::vector<std::string>{kArchiveName});
      EXPECT_EQ(ReadBytes(folder / kArchiveName), archive);
    }
  }
}

// Keep count 1 and one archive on the server: an upload the server refuses must cost nothing.
TEST_F(FtpStageTest, RefusedUploadDeletesNoArchive) {
  const FtpPeer peer(true);
  const fs::path folder = peer.Folder("backup", {"bkp01012026000000.rar"});
  // vsftpd's user may list the folder but not write there.
  std::system(("chown root: " + folder.string() + " && chmod 755 " + folder.string()).c_str());
  UseServer(peer);
  harness.settings.edtarquivosftp = "1";
  harness.settings.Check_ErroFTP = true;

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::NotDelivered);

  EXPECT_EQ(FileNames(folder), std::vector<std::string>{"bkp01012026000000.rar"});
  EXPECT_EQ(harness.LogMessages(), kThreeFailedAttempts);
}

TEST_F(FtpStageTest, LeftoversOfCutOffUploadsGoAtTheNextSuccessAndAreNeverCounted) {
  const FtpPeer peer(false);
  const fs::path folder = peer.Folder(
      "backup", {"bkp01012026000000.rar", "bkp07122026210000.rar.parcial", "bkp08122026210728.rar.parcial"});
  UseServer(peer);
  harness.settings.edtarquivosftp = "2";

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(FileNames(folder), (std::vector<std::string>{"bkp01012026000000.rar", kArchiveName}));
}

TEST_F(FtpStageTest, EmptyFolderSettingUploadsIntoTheLoginFolder) {
  for (const bool vsftpd : {false, true}) {
    const FtpPeer peer(vsftpd);
    UseServer(peer);
    harness.settings.EdtPastaFTP = "";

    EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered) << (vsftpd ? "vsftpd" : "pyftpdlib");

    EXPECT_EQ(ReadBytes(peer.Home() / kArchiveName), archive);
  }
}

TEST_F(FtpStageTest, KeepCountsOneAndZero) {
  struct Case {
    const char* keep;
    bool keepsEarlier;
  };
  for (const Case& c : {Case{"1", false}, Case{"0", true}}) {
    SCOPED_TRACE(c.keep);
    const FtpPeer peer(false);
    const std::vector<std::string> earlier{"bkp01012026000000.rar", "bkp02012026000000.rar"};
    const fs::path folder = peer.Folder("backup", earlier);
    UseServer(peer);
    harness.settings.edtarquivosftp = c.keep;

    EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered);

    std::vector<std::string> expected{kArchiveName};
    if (c.keepsEarlier) expected.insert(expected.end(), earlier.begin(), earlier.end());
    EXPECT_EQ(FileNames(folder), Sorted(expected));
  }
}

TEST_F(FtpStageTest, OtherExtensionNamesTheUploadAndTheMask) {
  const FtpPeer peer(true);
  const fs::path folder = peer.Folder("backup", {"bkp01012026000000.zip", "bkp02012026000000.zip",
                                                 "bkp03012026000000.zip", "bkp01012020000000.rar"});
  UseServer(peer);
  harness.settings.CheckMudaExtensao = true;
  harness.settings.EdtExtensaoFTP = "zip";
  harness.settings.edtarquivosftp = "2";

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(FileNames(folder), (std::vector<std::string>{"bkp01012020000000.rar", "bkp03012026000000.zip",
                                                         "bkp08122026210728.zip"}));
  EXPECT_EQ(ReadBytes(folder / "bkp08122026210728.zip"), archive);
}

TEST_F(FtpStageTest, FailedAttemptsAreRetriedTenSecondsApartThenGivenUp) {
  const FtpPeer peer(false);
  struct Case {
    const char* what;
    std::vector<std::string> onServer;
    std::string port;  // empty: the server's
    std::string keep;
  };
  const std::vector<Case> cases{
      {"unreachable server", {"bkp01012026000000.rar"}, std::to_string(ftpfixtures::ClosedPort()), "1"},
      {"port that is no number", {"bkp01012026000000.rar"}, "21x", "1"},
      {"keep count that is no number", {"bkp01012026000000.rar"}, "", "dez"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeliveryHarness attempts;
    attempts.Archive(archive);
    attempts.settings = harness.settings;
    const fs::path folder = peer.Folder("backup-" + std::to_string(&c - cases.data()), c.onServer);
    attempts.settings.EdtPastaFTP = "/" + folder.filename().string();
    attempts.settings.EdtPortaFTP = c.port.empty() ? std::to_string(peer.Port()) : c.port;
    attempts.settings.EdtUsuarioFTP = peer.User();
    attempts.settings.EdtSenhaFTP = peer.Password();
    attempts.settings.edtarquivosftp = c.keep;
    attempts.settings.Check_ErroFTP = true;
    run::FtpDeliveryStage stage(*client);

    EXPECT_EQ(attempts.Perform(stage), run::DeliveryOutcome::NotDelivered);

    EXPECT_EQ(attempts.LogMessages(), kThreeFailedAttempts);
    EXPECT_EQ(attempts.sleeper.sleeps, (std::vector<int>{10000, 10000}));
    EXPECT_EQ(attempts.window.console, (std::vector<std::string>{AttemptConsoleLine(1), AttemptConsoleLine(2),
                                                                 AttemptConsoleLine(3)}));
    EXPECT_TRUE(attempts.window.questions.empty());
    EXPECT_EQ(FileNames(folder), Sorted(c.onServer));
  }
}

TEST_F(FtpStageTest, WithQuestionsEveryOkRetriesTheSameAttemptUntilCancel) {
  harness.settings.EdtPortaFTP = std::to_string(ftpfixtures::ClosedPort());
  harness.window.answers = {run::RetryAnswer::Ok, run::RetryAnswer::Ok};

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::NotDelivered);

  EXPECT_EQ(harness.LogMessages(), kThreeFailedAttempts);
  EXPECT_EQ(harness.window.questions, std::vector<std::string>(3, kFtpQuestion));
  EXPECT_EQ(harness.window.console, std::vector<std::string>(3, AttemptConsoleLine(1)));
  EXPECT_TRUE(harness.sleeper.sleeps.empty());
}

TEST_F(FtpStageTest, NobodyToAskRetriesOnItsOwn) {
  harness.settings.EdtPortaFTP = std::to_string(ftpfixtures::ClosedPort());
  harness.window.canAsk = false;

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::NotDelivered);

  EXPECT_EQ(harness.LogMessages(), kThreeFailedAttempts);
  EXPECT_TRUE(harness.window.questions.empty());
  EXPECT_EQ(harness.sleeper.sleeps.size(), 2u);
}

TEST_F(FtpStageTest, NamesWithoutADateAreLeftAloneAndLoggedOnceWhileTheUploadGoesOn) {
  const FtpPeer peer(false);
  const std::vector<std::string> earlier{"bkp01012026000000.rar", "bkp02012026000000.rar", "bkpcopia.rar",
                                         "bkp30022026000000.rar", "bkp-antes-da-migracao.rar"};
  const fs::path folder = peer.Folder("backup", earlier);
  UseServer(peer);
  harness.settings.edtarquivosftp = "1";

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(FileNames(folder),
            Sorted({"bkp-antes-da-migracao.rar", "bkp30022026000000.rar", "bkpcopia.rar", kArchiveName}));
  // Each listing of the retention names them again; the log does once.
  const std::string undated = " - Arquivo no servidor FTP sem data no nome, ignorado na retenção: ";
  EXPECT_EQ(
      harness.LogMessages(),
      (std::vector<std::string>{kAttemptLog, undated + "bkp-antes-da-migracao.rar",
                                undated + "bkp30022026000000.rar", undated + "bkpcopia.rar", kSentLog}));
}

TEST_F(FtpStageTest, ServerThatKeepsADeletedArchiveDeliversAndLogsThatRetentionFailed) {
  // This server acknowledges every DELE and lists the same earlier archive again.
  ftpfixtures::FakeFtpServer server("dele_keeps_file");
  harness.settings.EdtPortaFTP = std::to_string(server.Port());
  harness.settings.ComboBox1 = 1;
  harness.settings.edtarquivosftp = "1";

  EXPECT_EQ(Deliver(), run::DeliveryOutcome::Delivered);
  client.reset();

  EXPECT_EQ(
      harness.LogMessages(),
      (std::vector<std::string>{kAttemptLog,
                                " - Arquivo enviado, mas não foi possível excluir os arquivos antigos do "
                                "servidor FTP: O servidor confirmou a exclusão de \"bkp01012026000000.rar\", "
                                "mas o arquivo continua na pasta.",
                                kSentLog}));
  const std::vector<std::string> commands = server.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "DELE bkp01012026000000.rar"), 1);
}

// What the stage sends to scripted servers: the upload under a temporary name, its size checked, the
// rename; and what it does when a server refuses, lies or runs out of space.
TEST_F(FtpStageTest, UploadTravelsUnderATemporaryNameAndIsCheckedBeforeItCounts) {
  const std::string temporary = "bkp08122026210728.rar.parcial";
  const std::vector<std::string> verifiedUpload{"STOR " + temporary, "SIZE " + temporary, "RNFR " + temporary,
                                                "RNTO " + std::string(kArchiveName)};
  struct Case {
    const char* scenario;
    run::DeliveryOutcome outcome;
    std::vector<std::string> expectedCommands;  // in this order among those sent
    std::vector<std::string> absentCommands;
  };
  const std::vector<Case> cases{
      {"renames", run::DeliveryOutcome::Delivered, verifiedUpload, {"DELE " + temporary}},
      {"size_from_listing",
       run::DeliveryOutcome::Delivered,
       {"STOR " + temporary, "SIZE " + temporary, "LIST " + temporary, "RNFR " + temporary},
       {}},
      {"rnfr_502",
       run::DeliveryOutcome::Delivered,
       {"STOR " + temporary, "RNFR " + temporary, "DELE " + temporary, "STOR " + std::string(kArchiveName),
        "SIZE " + std::string(kArchiveName)},
       {"RNTO " + std::string(kArchiveName)}},
      {"size_lies",
       run::DeliveryOutcome::NotDelivered,
       {"STOR " + temporary, "SIZE " + temporary, "DELE " + temporary},
       {"RNFR " + temporary}},
      {"stor_552_then_room",
       run::DeliveryOutcome::Delivered,
       {"STOR " + temporary, "DELE " + temporary, "DELE bkp01012026000000.rar", "STOR " + temporary,
        "RNTO " + std::string(kArchiveName)},
       {"DELE bkp02012026000000.rar"}},
      {"stor_452_one_archive",
       run::DeliveryOutcome::NotDelivered,
       {"STOR " + temporary},
       {"DELE bkp01012026000000.rar"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    ftpfixtures::FakeFtpServer server(c.scenario);
    DeliveryHarness attempt;
    attempt.Archive(archive);
    attempt.settings = harness.settings;
    attempt.settings.EdtPastaFTP = "";
    attempt.settings.EdtPortaFTP = std::to_string(server.Port());
    attempt.settings.ComboBox1 = 1;
    attempt.window.answers = {run::RetryAnswer::Cancel};
    std::unique_ptr<ftp::TIdFTP> scripted = run::MakeIdFTP1();
    run::FtpDeliveryStage stage(*scripted);

    EXPECT_EQ(attempt.Perform(stage), c.outcome);
    scripted.reset();

    const std::vector<std::string> commands = server.Commands();
    auto next = commands.begin();
    for (const std::string& expected : c.expectedCommands) {
      next = std::find(next, commands.end(), expected);
      ASSERT_NE(next, commands.end()) << "missing or out of order: " << expected;
    }
    for (const std::string& absent : c.absentCommands) {
      EXPECT_EQ(std::find(commands.begin(), commands.end(), absent), commands.end()) << absent;
    }
  }
}

// The bound a hostile server went past is named in the log (the attempt is retried as usual: here the
// user cancels); the run's ceiling ends the stage at once.
TEST_F(FtpStageTest, AServerPastABoundIsNamedInTheLogAndTheCeilingEndsTheStage) {
  struct Case {
    const char* scenario;
    std::chrono::milliseconds ceiling;  // from now; zero: none
    std::vector<std::string> log;
  };
  const std::string ceilingRow = " - Tempo máximo de execução (720 minutos) atingido: etapa encerrada.";
  const Case cases[] = {
      {"endless_multi_line_reply",
       std::chrono::milliseconds::zero(),
       {kAttemptLog, " - Resposta do servidor excede o limite de 1048576 bytes.", kGivenUpLog, kFailedLog}},
      {"reply_line_of_10_mb",
       std::chrono::milliseconds::zero(),
       {kAttemptLog, " - Linha da resposta do servidor excede o limite de 16384 bytes.", kGivenUpLog,
        kFailedLog}},
      {"trickling_reply",
       std::chrono::milliseconds::zero(),
       {kAttemptLog, " - Resposta do servidor não se completou no tempo limite de 1000 ms.", kGivenUpLog,
        kFailedLog}},
      {"greeting_never_comes",
       std::chrono::milliseconds::zero(),
       {kAttemptLog, " - Servidor sem resposta no tempo limite de 1000 ms.", kGivenUpLog, kFailedLog}},
      // Silent for ever under the program's two-minute read timeout: only the ceiling ends it.
      {"greeting_never_comes", std::chrono::milliseconds(1500), {kAttemptLog, ceilingRow, kFailedLog}},
  };
  for (const Case& hostile : cases) {
    SCOPED_TRACE(hostile.scenario);
    DeliveryHarness fresh;
    fresh.Archive(archive);
    fresh.settings = harness.settings;
    ftpfixtures::FakeFtpServer server(hostile.scenario);
    fresh.settings.EdtPortaFTP = std::to_string(server.Port());
    fresh.settings.ComboBox1 = 1;
    if (hostile.ceiling != std::chrono::milliseconds::zero()) {
      fresh.ceiling = run::RunCeiling(run::RunCeiling::Clock::now() + hostile.ceiling, 720);
    }
    // A short read timeout, except where only the ceiling is to end a silent server.
    client->ReadTimeout =
        hostile.ceiling == std::chrono::milliseconds::zero() ? 1000 : ftp::kProgramReadTimeout;
    run::FtpDeliveryStage stage(*client);
    EXPECT_EQ(fresh.Perform(stage), run::DeliveryOutcome::NotDelivered);
    client->CloseConnection();
    EXPECT_EQ(fresh.LogMessages(), hostile.log);
  }
}

TEST(FtpGaugeTest, HandlersMoveTheGauge) {
  AnsweringWindow window;
  run::IdFTP1Connected(window);
  run::IdFTP1WorkBegin(window, 5000);
  run::IdFTP1Work(window, 2500);
  run::IdFTP1WorkBegin(window, 0);
  run::IdFTP1WorkBegin(window, -1);
  run::IdFTP1Disconnected(window);
  EXPECT_EQ(window.gauge, (std::vector<std::string>{"show", "progress 0", "max 5000", "progress 2500",
                                                    "progress 0", "max 0", "progress 0", "max 0", "hide"}));
  EXPECT_EQ(window.messageRuns, 1);
}

class ConnectionTestTest : public testing::Test {
 protected:
  bool Test(const std::string& privateFolder) {
    return run::BtnTestaConexaoClick({settings, *client, window, folder.Path() + "Backup/", privateFolder,
                                      std::as_bytes(std::span(payload))});
  }

  testsupport::TempFolder folder;
  app::BackupSettings settings;
  AnsweringWindow window;
  std::unique_ptr<ftp::TIdFTP> client = run::MakeIdFTP1();
  std::string payload = "archiver bytes";
};

TEST_F(ConnectionTestTest, GoodServerLeavesNothingBehind) {
  const FtpPeer peer(false);
  fs::create_directory(peer.Home() / "pasta");
  settings.EdtServidorFTP = "127.0.0.1";
  settings.EdtPortaFTP = std::to_string(peer.Port());
  settings.EdtUsuarioFTP = peer.User();
  settings.EdtSenhaFTP = peer.Password();
  for (const char* remoteFolder : {"", "/pasta"}) {
    SCOPED_TRACE(remoteFolder);
    window.notices.clear();
    settings.EdtPastaFTP = remoteFolder;
    EXPECT_TRUE(Test(folder.Path()));
    EXPECT_EQ(window.notices, std::vector<std::string>{"Conexão OK!"});
  }
  EXPECT_EQ(FileNames(peer.Home()), std::vector<std::string>{"pasta"});
  EXPECT_TRUE(FileNames(peer.Home() / "pasta").empty());
  EXPECT_EQ(ReadBytes(folder.Root() / "winrar.exe"), payload)
      << "the payload is the archiver as a run puts it";
  EXPECT_EQ(window.gauge, std::vector<std::string>{});  // the test's client has no gauge connected
}

TEST_F(ConnectionTestTest, FailuresShowTheProblemMessage) {
  const FtpPeer peer(false);
  settings.EdtServidorFTP = "127.0.0.1";
  settings.EdtUsuarioFTP = peer.User();
  struct Case {
    const char* what;
    std::string port;
    std::string password;
  };
  for (const Case& c : {Case{"unreachable", std::to_string(ftpfixtures::ClosedPort()), peer.Password()},
                        Case{"wrong password", std::to_string(peer.Port()), "errada"},
                        Case{"port no number", "porta", peer.Password()}}) {
    SCOPED_TRACE(c.what);
    window.notices.clear();
    settings.EdtPortaFTP = c.port;
    settings.EdtSenhaFTP = c.password;
    EXPECT_FALSE(Test(folder.Path()));
    EXPECT_EQ(window.notices, std::vector<std::string>{"Problemas com a Conexão."});
  }
}

TEST_F(ConnectionTestTest, ArchiverThatCannotBeWrittenFailsBeforeAnyConnection) {
  settings.EdtServidorFTP = "127.0.0.1";
  settings.EdtPortaFTP = std::to_string(ftpfixtures::ClosedPort());
  WriteBytes(folder.Root() / "private", "a file where the private folder should be");
  EXPECT_THROW(Test(folder.Path() + "private/"), std::exception);
  EXPECT_TRUE(window.notices.empty());
  EXPECT_EQ(ReadBytes(folder.Root() / "private"), "a file where the private folder should be");
}

TEST_F(ConnectionTestTest, FreshMachineWithoutAPrivateFolderYetPasses) {
  const FtpPeer peer(false);
  settings.EdtServidorFTP = "127.0.0.1";
  settings.EdtPortaFTP = std::to_string(peer.Port());
  settings.EdtUsuarioFTP = peer.User();
  settings.EdtSenhaFTP = peer.Password();
  const std::string privateFolder = folder.Path() + "home/.local/share/torvi/";

  EXPECT_TRUE(Test(privateFolder));

  EXPECT_EQ(window.notices, std::vector<std::string>{"Conexão OK!"});
  EXPECT_EQ(ReadBytes(privateFolder + "winrar.exe"), payload);
}

}  // namespace

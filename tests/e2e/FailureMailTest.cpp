// Whole runs of torvi-backup with the notice on: the private Firebird server, pyftpdlib and a real SMTP
// server (aiosmtpd: STARTTLS, AUTH, a self-signed certificate pinned in the settings). What the server
// received is decoded by an independent reader and compared with the run's log.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "platform/MachineName.h"
#include "tests/fixtures/WholeRunSettings.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/fixtures/smtp/SmtpServer.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using fixtures::CommandResult;
using fixtures::RunCommand;
using fixtures::ShellQuote;
using smtpfixtures::BodyOf;
using smtpfixtures::HeaderOf;
using testsupport::Lines;

constexpr char kMailTitle[] = "Registro desta execução (BkpLog.txt):";

struct Outcome {
  int exitCode;
  std::string console;  // standard output
  std::string errors;
};

class FailureMailTest : public testing::Test {
 protected:
  FailureMailTest() : smtp(smtpfixtures::Mode::StartTls, smtpfixtures::Certificate::SelfSigned) {}

  void SetUp() override {
    for (const char* name : {"config", "work", "destino"}) fs::create_directory(root / name);
    settings = fixtures::WholeRunSettings(firebird, ftpServer, std::string(root / "destino") + "/");
    settings.CheckEnviaEmail = true;
    settings.EdtEmail = "ti@empresa.com.br; gerente@empresa.com.br";
    settings.EdtServidorEmail = "127.0.0.1";
    settings.EdtPortaEmail = std::to_string(smtp.Port());
    settings.ComboSegurancaEmail = 1;
    settings.EdtUsuarioEmail = smtpfixtures::SmtpServer::kUser;
    settings.EdtSenhaEmail = smtpfixtures::SmtpServer::kPassword;
    settings.EdtRemetenteEmail = "backup@empresa.com.br";
    settings.EdtCertificadoEmail = smtp.Fingerprint();
  }

  std::string Config() const { return root / "config/"; }

  Outcome Run(const std::string& options = "") {
    app::SaveSettings(settings, Config() + app::kSettingsFileName);
    const std::string errors = root / "stderr.txt";
    const CommandResult result =
        RunCommand("(XDG_DATA_HOME=" + ShellQuote(root / "data") + " " + std::string(TORVI_BACKUP_PROGRAM) +
                   " --config " + ShellQuote(Config()) + " --work " + ShellQuote(root / "work/") + " " +
                   options + " 2>" + ShellQuote(errors) + ")");
    return {result.exitCode, result.output, testsupport::ReadBytes(errors)};
  }

  // The log rows of the last run: the lines after its header.
  std::vector<std::string> LastRunRows() const {
    const std::vector<std::string> log = testsupport::LogLines(Config() + "BkpLog.txt");
    const auto header = std::find(log.rbegin(), log.rend(), std::string(63, '-'));
    return {header.base(), log.end()};
  }

  // Checks the one message the server received: subject, first line, and the run's log rows below it,
  // which are the rows of the log before the row telling that the notice went.
  void ExpectNotice(const std::string& subjectStart, const std::string& firstLine) {
    const std::vector<std::string> messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const std::string& message = messages.front();
    EXPECT_EQ(HeaderOf(message, "RCPT TO"), "ti@empresa.com.br gerente@empresa.com.br");
    EXPECT_EQ(HeaderOf(message, "MAIL FROM"), "backup@empresa.com.br");
    EXPECT_TRUE(HeaderOf(message, "Subject").starts_with(subjectStart)) << HeaderOf(message, "Subject");
    EXPECT_TRUE(HeaderOf(message, "Subject").ends_with(" em " + platform::MachineName()));
    const std::vector<std::string> body = Lines(BodyOf(message), "\n");
    ASSERT_GE(body.size(), 3u) << message;
    EXPECT_TRUE(body[0].starts_with(firstLine)) << body[0];
    EXPECT_EQ(body[1], "");
    EXPECT_EQ(body[2], kMailTitle);
    std::vector<std::string> rows = LastRunRows();
    const auto sent = std::find_if(rows.begin(), rows.end(), [](const std::string& row) {
      return row.find(" - E-mail de aviso enviado para: ti@empresa.com.br, gerente@empresa.com.br") !=
             std::string::npos;
    });
    ASSERT_NE(sent, rows.end());
    rows.erase(sent, rows.end());
    EXPECT_EQ(std::vector<std::string>(body.begin() + 3, body.end()), rows);
  }

  ftpfixtures::ScratchFolder root;
  fixtures::FirebirdServer firebird;
  ftpfixtures::PyFtpServer ftpServer;
  smtpfixtures::SmtpServer smtp;
  app::BackupSettings settings;
};

TEST_F(FailureMailTest, ARunEndedByTheDatabaseSendsOneNoticeWithItsLog) {
  settings.EdtSenha = "errada";
  const Outcome outcome = Run();
  EXPECT_EQ(outcome.exitCode, 1) << outcome.errors;
  ExpectNotice("Backup NÃO concluído em ", "O backup foi interrompido por um erro: ");
  EXPECT_NE(BodyOf(smtp.Messages().front()).find(Lines(outcome.errors, "\n").front()), std::string::npos)
      << "the database's own message is the reason";
}

TEST_F(FailureMailTest, AnFtpDeliveryGivenUpSendsOneNoticeWithItsLog) {
  settings.EdtSenhaFTP = "errada";
  const Outcome outcome = Run();
  EXPECT_EQ(outcome.exitCode, 2) << outcome.errors;
  ExpectNotice("Backup NÃO concluído em ", "O envio por FTP não foi concluído.");
  const std::string body = BodyOf(smtp.Messages().front());
  EXPECT_NE(body.find(" - Abortado pelo Usuário!"), std::string::npos) << body;
  EXPECT_NE(body.find(" - Arquivo compactado Criado!"), std::string::npos) << body;
}

TEST_F(FailureMailTest, ACompletedRunSendsNoneUnlessEveryRunIsAsked) {
  const Outcome quiet = Run();
  EXPECT_EQ(quiet.exitCode, 0) << quiet.errors;
  EXPECT_TRUE(smtp.Messages().empty());
  EXPECT_EQ(LastRunRows().back().substr(17), " - Backup Finalizado!");

  settings.CheckEmailSempre = true;
  const Outcome told = Run();
  EXPECT_EQ(told.exitCode, 0) << told.errors;
  ExpectNotice("Backup concluído em ", "Backup concluído.");
}

TEST_F(FailureMailTest, ANoticeThatCannotGoLeavesTheRunsOutcomeAndSaysWhy) {
  struct Case {
    const char* name;
    void (*change)(app::BackupSettings&);
    const char* why;
  } cases[] = {
      {"wrong password", [](app::BackupSettings& s) { s.EdtSenhaEmail = "errada"; },
       "recusou o usuário ou a senha"},
      {"server down",
       [](app::BackupSettings& s) { s.EdtPortaEmail = std::to_string(ftpfixtures::ClosedPort()); },
       "não foi possível conectar"},
      {"address without @", [](app::BackupSettings& s) { s.EdtEmail = "ti.empresa.com.br"; },
       "não tem \"@\""},
      {"no server", [](app::BackupSettings& s) { s.EdtServidorEmail.clear(); }, "nenhum servidor de e-mail"},
  };
  const app::BackupSettings base = settings;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    settings = base;
    settings.EdtSenha = "errada";
    c.change(settings);
    const Outcome outcome = Run();
    EXPECT_EQ(outcome.exitCode, 1) << outcome.errors;
    const std::string row = LastRunRows().back();
    EXPECT_NE(row.find(" - E-mail de aviso não enviado: "), std::string::npos) << row;
    EXPECT_NE(row.find(c.why), std::string::npos) << row;
    EXPECT_NE(outcome.console.find(row.substr(17)), std::string::npos) << outcome.console;
  }
  EXPECT_TRUE(smtp.Messages().empty());
}

TEST_F(FailureMailTest, TestEmailSendsTheTestMessage) {
  const Outcome good = Run("--test-email");
  EXPECT_EQ(good.exitCode, 0) << good.errors;
  EXPECT_EQ(good.console, "E-mail de teste enviado para: ti@empresa.com.br, gerente@empresa.com.br\n");
  ASSERT_EQ(smtp.Messages().size(), 1u);
  EXPECT_TRUE(HeaderOf(smtp.Messages().front(), "Subject").starts_with("Teste de e-mail do backup em "));
  EXPECT_FALSE(fs::exists(Config() + "BkpLog.txt")) << "no run";

  settings.EdtSenhaEmail = "errada";
  const Outcome bad = Run("--test-email");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.errors.find("e-mail de teste não enviado: o servidor de e-mail recusou o usuário ou a senha"),
            std::string::npos)
      << bad.errors;
  EXPECT_EQ(smtp.Messages().size(), 1u);
}

}  // namespace

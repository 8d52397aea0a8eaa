// The sender against a real SMTP server on loopback (aiosmtpd): what arrives, decoded by an independent
// reader, and every way the hand-over can fail, each with its own clear reason and nothing delivered.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "app/EmailSecurity.h"
#include "run/SmtpSender.h"
#include "tests/fixtures/smtp/SmtpServer.h"

namespace {

using smtpfixtures::Certificate;
using smtpfixtures::Mode;
using smtpfixtures::SmtpServer;

run::MailServer ServerFor(const SmtpServer& smtp, int security) {
  run::MailServer server;
  server.host = "127.0.0.1";
  server.port = smtp.Port();
  server.security = security;
  server.user = SmtpServer::kUser;
  server.password = SmtpServer::kPassword;
  server.caFile = smtp.CaFile();
  server.connectTimeoutMs = 5000;
  server.totalTimeoutMs = 5000;
  return server;
}

run::MailMessage Notice() {
  return {"backup@empresa.com.br",
          {"ti@empresa.com.br", "gerente@empresa.com.br"},
          "Backup NÃO concluído em servidor-ação",
          "O envio por FTP não foi concluído.\n\nRegistro:\n10122026 - 171500 - Início do Backup\n"};
}

TEST(SmtpSender, HandsTheMessageOverInEveryKindOfConnection) {
  struct Case {
    const char* name;
    Mode mode;
    Certificate certificate;
    int security;
    bool pinned;
  } cases[] = {
      {"STARTTLS, roots", Mode::StartTls, Certificate::FromCa, app::kEmailStartTls, false},
      {"TLS from the start", Mode::Implicit, Certificate::FromCa, app::kEmailImplicitTls, false},
      {"STARTTLS, pinned self-signed", Mode::StartTls, Certificate::SelfSigned, app::kEmailStartTls, true},
      {"no TLS, local relay", Mode::Plain, Certificate::FromCa, app::kEmailPlain, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmtpServer smtp(c.mode, c.certificate);
    run::MailServer server = ServerFor(smtp, c.security);
    if (c.pinned) {
      server.caFile.clear();
      server.pin = smtp.Fingerprint();
    }
    if (c.mode == Mode::Plain) server.user.clear();
    run::SendMail(server, Notice());

    const std::vector<std::string> messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 1u);
    const std::string& message = messages.front();
    EXPECT_EQ(smtpfixtures::HeaderOf(message, "MAIL FROM"), "backup@empresa.com.br");
    EXPECT_EQ(smtpfixtures::HeaderOf(message, "RCPT TO"), "ti@empresa.com.br gerente@empresa.com.br");
    EXPECT_EQ(smtpfixtures::HeaderOf(message, "To"), "ti@empresa.com.br, gerente@empresa.com.br");
    EXPECT_EQ(smtpfixtures::HeaderOf(message, "Subject"), "Backup NÃO concluído em servidor-ação");
    EXPECT_TRUE(std::regex_match(smtpfixtures::HeaderOf(message, "Date"),
                                 std::regex("[A-Z][a-z]{2}, [0-9]{1,2} [A-Z][a-z]{2} [0-9]{4} "
                                            "[0-9]{2}:[0-9]{2}:[0-9]{2} \\+0000")))
        << message;
    EXPECT_TRUE(
        std::regex_match(smtpfixtures::HeaderOf(message, "Message-ID"), std::regex("<[0-9a-f.]+@.+>")));
    EXPECT_EQ(smtpfixtures::HeaderOf(message, "Charset"), "utf-8");
    EXPECT_EQ(smtpfixtures::BodyOf(message), Notice().body);
    // The headers as received are plain ASCII: the subject went as encoded words.
    const std::string raw = smtp.RawMessage(0);
    EXPECT_NE(raw.find("Subject: =?UTF-8?B?"), std::string::npos);
  }
}

TEST(SmtpSender, EachFailureHasItsReasonAndDeliversNothing) {
  struct Case {
    const char* name;
    Mode mode;
    Certificate certificate;
    int security;
    void (*change)(run::MailServer&, run::MailMessage&, const SmtpServer&);
    const char* said;
  } cases[] = {
      {"wrong password", Mode::StartTls, Certificate::FromCa, app::kEmailStartTls,
       [](run::MailServer& s, run::MailMessage&, const SmtpServer&) { s.password = "errada"; },
       "recusou o usuário ou a senha"},
      {"certificate no root vouches for", Mode::StartTls, Certificate::SelfSigned, app::kEmailStartTls,
       [](run::MailServer&, run::MailMessage&, const SmtpServer&) {}, "não é confiável"},
      {"certificate other than the pinned one", Mode::StartTls, Certificate::SelfSigned, app::kEmailStartTls,
       [](run::MailServer& s, run::MailMessage&, const SmtpServer&) { s.pin = std::string(64, 'A'); },
       "não é o fixado"},
      {"implicit TLS client, plain server", Mode::Plain, Certificate::FromCa, app::kEmailImplicitTls,
       [](run::MailServer&, run::MailMessage&, const SmtpServer&) {}, "falha no envio"},
      {"STARTTLS demanded, not offered", Mode::Plain, Certificate::FromCa, app::kEmailStartTls,
       [](run::MailServer&, run::MailMessage&, const SmtpServer&) {}, "não oferece STARTTLS"},
      {"5xx on RCPT", Mode::StartTls, Certificate::FromCa, app::kEmailStartTls,
       [](run::MailServer&, run::MailMessage& m, const SmtpServer&) {
         m.to.push_back("refuse@empresa.com.br");
       },
       "550"},
      {"greeting never comes", Mode::Silent, Certificate::FromCa, app::kEmailStartTls,
       [](run::MailServer& s, run::MailMessage&, const SmtpServer&) { s.totalTimeoutMs = 1500; },
       "não respondeu a tempo"},
      {"reply line of 1 MiB", Mode::HugeLine, Certificate::FromCa, app::kEmailStartTls,
       [](run::MailServer&, run::MailMessage&, const SmtpServer&) {}, "falha no envio"},
      {"header injection in the subject", Mode::StartTls, Certificate::FromCa, app::kEmailStartTls,
       [](run::MailServer&, run::MailMessage& m, const SmtpServer&) { m.subject += "\r\nBcc: x@y.z"; },
       "caracteres de controle"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmtpServer smtp(c.mode, c.certificate);
    run::MailServer server = ServerFor(smtp, c.security);
    run::MailMessage message = Notice();
    c.change(server, message, smtp);
    try {
      run::SendMail(server, message);
      ADD_FAILURE() << "sent";
    } catch (const run::MailError& error) {
      EXPECT_NE(error.Message().find(c.said), std::string::npos) << error.Message();
    }
    EXPECT_TRUE(smtp.Messages().empty());
  }
}

TEST(SmtpSender, AnUntrustedCertificateIsNamedByTheFingerprintToPin) {
  SmtpServer smtp(Mode::StartTls, Certificate::SelfSigned);
  try {
    run::SendMail(ServerFor(smtp, app::kEmailStartTls), Notice());
    FAIL() << "sent";
  } catch (const run::MailError& error) {
    EXPECT_NE(error.Message().find(smtp.Fingerprint()), std::string::npos) << error.Message();
  }
}

TEST(SmtpSender, AServerThatIsDownIsSaidSo) {
  run::MailServer server;
  server.host = "127.0.0.1";
  server.port = ftpfixtures::ClosedPort();
  try {
    run::SendMail(server, Notice());
    FAIL() << "sent";
  } catch (const run::MailError& error) {
    EXPECT_NE(error.Message().find("não foi possível conectar"), std::string::npos) << error.Message();
  }
}

}  // namespace

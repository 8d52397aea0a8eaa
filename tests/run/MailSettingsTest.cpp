// What the settings must hold before a notice can go out, and the pieces of the message the sender builds.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/MailAddresses.h"
#include "run/MailMessage.h"
#include "run/MailSettings.h"

namespace {

app::BackupSettings Usable() {
  app::BackupSettings settings;
  settings.EdtEmail = "ti@empresa.com.br; gerente@empresa.com.br";
  settings.CheckEnviaEmail = true;
  settings.EdtServidorEmail = "smtp.empresa.com.br";
  settings.EdtPortaEmail = "587";
  settings.ComboSegurancaEmail = 1;
  settings.EdtUsuarioEmail = "avisos";
  settings.EdtSenhaEmail = "segredo";
  return settings;
}

TEST(MailSetup, TakesTheServerAndTheRecipientsFromTheSettings) {
  const run::MailSetup setup = run::MailSetupOf(Usable());
  EXPECT_EQ(setup.server.host, "smtp.empresa.com.br");
  EXPECT_EQ(setup.server.port, 587);
  EXPECT_EQ(setup.to, (std::vector<std::string>{"ti@empresa.com.br", "gerente@empresa.com.br"}));
  EXPECT_EQ(setup.from, "ti@empresa.com.br") << "without a sender, the first recipient";
  app::BackupSettings withSender = Usable();
  withSender.EdtRemetenteEmail = "backup@empresa.com.br";
  withSender.EdtEmail = " a@b.c ,, d@e.f ; ";
  const run::MailSetup other = run::MailSetupOf(withSender);
  EXPECT_EQ(other.from, "backup@empresa.com.br");
  EXPECT_EQ(other.to, (std::vector<std::string>{"a@b.c", "d@e.f"}));
}

TEST(MailSetup, RefusesWhatCouldNotBeSentOrWouldInjectHeaders) {
  struct Case {
    const char* name;
    void (*change)(app::BackupSettings&);
    const char* said;  // part of the message
  } cases[] = {
      {"no server", [](app::BackupSettings& s) { s.EdtServidorEmail.clear(); }, "Email/Servidor"},
      {"CR LF in an address", [](app::BackupSettings& s) { s.EdtEmail = "a@b.c\r\nBcc: x@y.z"; },
       "caracteres de controle"},
      {"tab in the sender", [](app::BackupSettings& s) { s.EdtRemetenteEmail = "a\t@b.c"; },
       "Email/Remetente"},
      {"LF in the password", [](app::BackupSettings& s) { s.EdtSenhaEmail = "x\nAUTH"; }, "Email/Senha"},
      {"CR in the server", [](app::BackupSettings& s) { s.EdtServidorEmail = "smtp\rx"; }, "Email/Servidor"},
      {"no @", [](app::BackupSettings& s) { s.EdtEmail = "ti.empresa.com.br"; }, "não tem \"@\""},
      {"no recipient", [](app::BackupSettings& s) { s.EdtEmail = " ; , "; }, "nenhum endereço"},
      {"10 000 characters",
       [](app::BackupSettings& s) { s.EdtEmail = std::string(9990, 'a') + "@empresa.c"; },
       "10000 caracteres"},
      {"too many",
       [](app::BackupSettings& s) {
         s.EdtEmail.clear();
         for (int i = 0; i < 60; ++i) s.EdtEmail += "u" + std::to_string(i) + "@x.y;";
       },
       "60 endereços"},
      {"brackets", [](app::BackupSettings& s) { s.EdtEmail = "Ti <ti@x.y>"; }, "não aceita"},
      {"port 0", [](app::BackupSettings& s) { s.EdtPortaEmail = "0"; }, "Email/Porta"},
      {"port text", [](app::BackupSettings& s) { s.EdtPortaEmail = "smtp"; }, "Email/Porta"},
      {"security 7", [](app::BackupSettings& s) { s.ComboSegurancaEmail = -1; }, "Email/Segurança"},
      {"pin of 31 bytes", [](app::BackupSettings& s) { s.EdtCertificadoEmail = std::string(62, 'A'); },
       "Email/Certificado"},
  };
  for (const Case& c : cases) {
    app::BackupSettings settings = Usable();
    c.change(settings);
    try {
      run::MailSetupOf(settings);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const run::MailError& error) {
      EXPECT_NE(error.Message().find(c.said), std::string::npos) << c.name << ": " << error.Message();
    }
    EXPECT_FALSE(run::MailSetupProblem(settings).empty()) << c.name;
  }
}

TEST(MailMessage, HeaderTextIsEncodedInWordsOfAtMost75CharactersWhenNotPlainAscii) {
  EXPECT_EQ(run::EncodedHeaderText("Backup ok"), "Backup ok");
  EXPECT_EQ(run::EncodedHeaderText("não"), "=?UTF-8?B?bsOjbw==?=");
  const std::string encoded = run::EncodedHeaderText(std::string(40, 'x') + std::string(30, '\xC3') + "ção");
  std::size_t start = 0;
  while (start < encoded.size()) {
    const std::size_t end = std::min(encoded.find(' ', start), encoded.size());
    const std::string word = encoded.substr(start, end - start);
    EXPECT_LE(word.size(), 75u) << word;
    EXPECT_TRUE(word.starts_with("=?UTF-8?B?") && word.ends_with("?=")) << word;
    start = end + 1;
  }
  for (char c : encoded) EXPECT_TRUE(c >= 0x20 && c < 0x7F);
}

TEST(MailMessage, DateIsInTheMailFormatAndTheIdIsUnique) {
  using namespace std::chrono;
  const sys_days day = year{2026} / December / 8;
  EXPECT_EQ(run::MailDate(day + hours{21} + minutes{7} + seconds{28}), "Tue, 8 Dec 2026 21:07:28 +0000");
  const auto now = system_clock::now();
  const std::string first = run::NewMessageId("servidor-01", now);
  EXPECT_TRUE(first.starts_with("<") && first.ends_with("@servidor-01>")) << first;
  EXPECT_NE(first, run::NewMessageId("servidor-01", now));
  EXPECT_TRUE(run::NewMessageId("máquina", now).ends_with("@torvi.invalid>"));
}

}  // namespace

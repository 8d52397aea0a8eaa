#include <gtest/gtest.h>

#include "app/BackupSettings.h"
#include "app/Credentials.h"
#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "app/SettingsKeys.h"
#include "platform/Files.h"
#include "tests/support/TempFolder.h"

namespace {

// The table must name exactly the keys the settings window writes, in its order: a key the window
// writes but the table lacks could not be set or shown without the window.
TEST(KnownSettingsKeys, AreTheKeysTheWindowWritesInItsOrder) {
  testsupport::TempFolder temp;
  const std::string path = temp / "Configuracaobkp.ini";
  // With TLS set, so that its keys, written once they matter, are there too.
  app::BackupSettings settings;
  settings.ComboSeguranca = 1;
  settings.CertificadoFTP = std::string(64, 'A');
  app::SaveSettings(settings, path);
  std::string written;
  std::string section;
  for (const std::string& line : testsupport::LogLines(path)) {
    if (line.starts_with("[")) {
      section = line.substr(1, line.size() - 2);
    } else {
      written += section + "." + line.substr(0, line.find('=')) + "\n";
    }
  }
  std::string listed;
  for (const app::SettingsKey& key : app::KnownSettingsKeys()) {
    if (key.windowWrites) listed += app::QualifiedName(key) + "\n";
  }
  EXPECT_EQ(listed, written);
}

TEST(FindSettingsKey, IgnoresLetterCaseAsTheProfileReaderDoes) {
  struct Case {
    const char* name;
    const char* found;  // null: unknown
  } cases[] = {
      {"FTP.Porta", "FTP.Porta"},
      {"ftp.PORTA", "FTP.Porta"},
      {"ftp.mudaextensÃO", "FTP.MudaExtensão"},
      {"Servidor.Senha", "Servidor.Senha"},
      {"FTP.Senha", "FTP.Senha"},
      {"FTP", nullptr},
      {"FTP.", nullptr},
      {"Porta", nullptr},
      {"Destino.Porta", nullptr},
      {"FTP.Porta.x", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    const app::SettingsKey* key = app::FindSettingsKey(c.name);
    if (c.found == nullptr) {
      EXPECT_EQ(key, nullptr) << c.name;
    } else {
      ASSERT_NE(key, nullptr) << c.name;
      EXPECT_EQ(app::QualifiedName(*key), c.found);
    }
  }
}

TEST(StoredValue, RefusesWhatTheRunCouldNotUseNamingTheKey) {
  const std::string needsSeparator =
      "a pasta deve terminar com o separador \"" + std::string(1, platform::kPathSeparator) + "\"";
  struct Case {
    const char* key;
    std::string value;
    std::string problem;  // empty: stored
  } cases[] = {
      {"FTP.Porta", "2121", ""},
      {"FTP.Porta", "abc", "não é um número"},
      {"FTP.Porta", "", "não é um número"},
      {"FTP.Porta", " 21", "não é um número"},
      {"FTP.Porta", "0", "fora do intervalo de 1 a 65535"},
      {"FTP.Porta", "65536", "fora do intervalo de 1 a 65535"},
      {"FTP.Porta", "99999999999999999999", "não é um número"},
      {"FTP.NumeroDeArquivos", "0", ""},
      {"FTP.NumeroDeArquivos", "201", "fora do intervalo de 0 a 200"},
      {"FTP.Modo", "1", ""},
      {"FTP.Modo", "-1", ""},  // nothing selected: the window writes it
      {"FTP.Modo", "2", "fora do intervalo de -1 a 1"},
      {"Destino.SalvarDestino", "S", ""},
      {"Destino.SalvarDestino", "s", "deve ser S ou N"},
      {"Destino.SalvarDestino", "sim", "deve ser S ou N"},
      {"Destino.Salvar", "/srv/copias/", ""},
      {"Destino.Salvar", "", ""},
      {"Destino.Salvar", "/srv/copias", needsSeparator},
      {"Servidor.PastaComp", "/mnt/servidor", needsSeparator},
      {"Servidor.Temp", "C:\\Backup\\", ""},
      {"Servidor.Temp", "/var/backup/", ""},
      {"Servidor.Temp", "C:\\Backup", "a pasta deve terminar com o separador (\"/\" ou \"\\\")"},
      {"FTP.Servidor", "ftp.example.com\nx", "o valor contém uma quebra de linha"},
      {"FTP.Pasta", "a\rb", "o valor contém uma quebra de linha"},
      {"FTP.Senha", "linha\r\n", "o valor contém uma quebra de linha"},
      {"FTP.Usuario", "José", ""},
      {"Compactacao.Senha", "", ""},  // no encryption
      {"Compactacao.Senha", "Sênha-ÇÃO_ü€ #!$%", ""},
      {"Compactacao.Senha", std::string(126, 'a'), ""},
      {"Compactacao.Senha", std::string(127, 'a'), "a senha tem mais de 126 caracteres"},
      {"Compactacao.Senha", "linha\nnova", "o valor contém uma quebra de linha"},
      {"Compactacao.Senha", "a\tb", "o valor contém caracteres de controle"},
      {"Compactacao.Senha", "密码", "o valor contém caracteres que o arquivo (Windows-1252) não guarda"},
      {"Compactacao.OcultarNomes", "S", ""},
      {"FTP.Usuario", "用户", "o valor contém caracteres que o arquivo (Windows-1252) não guarda"},
  };
  for (const auto& c : cases) {
    const app::SettingsKey* key = app::FindSettingsKey(c.key);
    ASSERT_NE(key, nullptr) << c.key;
    EXPECT_EQ(app::ValueProblem(*key, c.value), c.problem) << c.key << " " << c.value;
    if (c.problem.empty()) {
      EXPECT_NO_THROW(app::StoredValue(*key, c.value)) << c.key;
    } else {
      try {
        app::StoredValue(*key, c.value);
        ADD_FAILURE() << "stored: " << c.key << " " << c.value;
      } catch (const app::SettingsValueError& error) {
        EXPECT_EQ(error.Message(), std::string(c.key) + ": " + c.problem + ".");
      }
    }
  }
}

TEST(StoredValue, ScramblesTheCredentialsAndShowsNoPassword) {
  const app::SettingsKey& user = *app::FindSettingsKey("Servidor.Usuario");
  const app::SettingsKey& password = *app::FindSettingsKey("Servidor.Senha");
  const app::SettingsKey& ftpUser = *app::FindSettingsKey("FTP.Usuario");
  EXPECT_EQ(app::StoredValue(user, "SYSDBA"), app::ScrambleCredential("SYSDBA"));
  EXPECT_EQ(app::StoredValue(password, "velvetorb"), app::ScrambleCredential("velvetorb"));
  EXPECT_EQ(app::StoredValue(ftpUser, "tester"), "tester");  // the FTP user is stored plain

  EXPECT_EQ(app::ShownValue(user, app::ScrambleCredential("SYSDBA")), "SYSDBA");
  EXPECT_EQ(app::ShownValue(password, app::ScrambleCredential("velvetorb")), "********");
  EXPECT_EQ(app::ShownValue(password, ""), "");
  EXPECT_EQ(app::PlainValue(password, app::ScrambleCredential("velvetorb")), "velvetorb");
}

}  // namespace

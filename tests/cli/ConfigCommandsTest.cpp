#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/Credentials.h"
#include "app/SettingsFile.h"
#include "app/SettingsKeys.h"
#include "cli/ConfigCommands.h"
#include "platform/Files.h"
#include "tests/cli/ConsoleDouble.h"
#include "tests/support/TempFolder.h"

namespace {

using clitest::CapturedConsole;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

class ConfigCommand : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& words, CapturedConsole& console) {
    return cli::RunConfigCommand(words, {temp_.Path(), temp_ / "work/"}, console.console);
  }
  int Run(const std::vector<std::string>& words) {
    last_ = std::make_unique<CapturedConsole>();
    return Run(words, *last_);
  }
  std::string Path() const { return temp_ / app::kSettingsFileName; }
  app::BackupSettings Loaded() const {
    app::BackupSettings settings;
    app::LoadSettings(settings, Path());
    app::LoadEmailSettings(settings, Path());
    return settings;
  }

  TempFolder temp_;
  std::unique_ptr<CapturedConsole> last_;
};

TEST_F(ConfigCommand, InitWritesEveryKeyAtItsInitialValueAsTheWindowWould) {
  ASSERT_EQ(Run({"init"}), 0) << last_->err.str();
  TempFolder other;
  app::SaveSettings(app::BackupSettings{}, other / "window.ini");
  EXPECT_EQ(ReadBytes(Path()), ReadBytes(other / "window.ini"));

  // A second init never overwrites what is there.
  WriteBytes(Path(), "[Servidor]\r\nNome=srv\r\n");
  EXPECT_EQ(Run({"init"}), 64);
  EXPECT_NE(last_->err.str().find("já existe"), std::string::npos) << last_->err.str();
  EXPECT_EQ(ReadBytes(Path()), "[Servidor]\r\nNome=srv\r\n");
}

TEST_F(ConfigCommand, InitAsksTheEssentialsAtATerminalUntilEachAnswerIsGood) {
  CapturedConsole console({"db.example", "/dados/ormelin.fdb", "", "segredo", "N", "", "S", "ftp.example",
                           "/copias", "porta", "2121", "tester", "ftpsenha", "", ""},
                          true);
  ASSERT_EQ(Run({"init"}, console), 0) << console.err.str();
  const app::BackupSettings settings = Loaded();
  EXPECT_EQ(settings.EdtServidor, "db.example");
  EXPECT_EQ(settings.EdtBase, "/dados/ormelin.fdb");
  EXPECT_EQ(settings.EdtUsuario, "SYSDBA");  // Enter kept the initial value
  EXPECT_EQ(settings.EdtSenha, "segredo");
  EXPECT_FALSE(settings.CheckDestino);
  EXPECT_TRUE(settings.CheckFTP);
  EXPECT_EQ(settings.EdtServidorFTP, "ftp.example");
  EXPECT_EQ(settings.EdtPastaFTP, "/copias");
  EXPECT_EQ(settings.EdtPortaFTP, "2121");
  EXPECT_EQ(settings.EdtUsuarioFTP, "tester");
  EXPECT_EQ(settings.EdtSenhaFTP, "ftpsenha");
  EXPECT_EQ(settings.EdtSenhaCompactacao, "");  // Enter: no encryption
  EXPECT_FALSE(settings.CheckOcultarNomes);
  EXPECT_NE(console.out.str().find("Porta FTP [21]: "), std::string::npos) << console.out.str();
  EXPECT_NE(console.out.str().find("  não é um número.\n"), std::string::npos);
  // Only the three passwords were read without echo, and the initial one is never shown.
  const std::vector<bool> hidden = {false, false, false, true,  false, false, false, false,
                                    false, false, false, false, true,  true,  false};
  EXPECT_EQ(console.input.hiddenReads, hidden);
  EXPECT_EQ(console.out.str().find("velvetorb"), std::string::npos);
}

TEST_F(ConfigCommand, InitWithoutATerminalAsksNothing) {
  CapturedConsole console({"db.example"}, false);
  ASSERT_EQ(Run({"init"}, console), 0);
  EXPECT_TRUE(console.input.hiddenReads.empty());
  EXPECT_EQ(Loaded().EdtServidor, "localhost");
}

TEST_F(ConfigCommand, ShowListsEveryKeyWithThePasswordsMasked) {
  EXPECT_EQ(Run({"show"}), 3);
  EXPECT_NE(last_->err.str().find("config init"), std::string::npos);

  app::BackupSettings settings;
  settings.EdtUsuario = "OPERADOR";
  settings.EdtSenha = "segredo1";
  settings.EdtSenhaFTP = "segredo2";
  settings.EdtPortaFTP = "2121";
  settings.CheckFTP = true;
  app::SaveSettings(settings, Path());
  WriteBytes(Path(), ReadBytes(Path()) + "[Outra]\r\nChave=valor\r\n");
  ASSERT_EQ(Run({"show"}), 0);
  const std::string shown = last_->out.str();
  EXPECT_EQ(shown.find("segredo"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Outra"), std::string::npos);
  for (const char* line :
       {"Servidor.Nome = localhost\n", "Servidor.Usuario = OPERADOR\n", "Servidor.Senha = ********\n",
        "FTP.EnviarBackup = S\n", "FTP.Porta = 2121\n", "FTP.Senha = ********\n", "FTP.MudaExtensão = N\n",
        "Configuracao.EnviarEmail = N\n"}) {
    EXPECT_NE(shown.find(line), std::string::npos) << line << shown;
  }
  EXPECT_EQ(static_cast<std::size_t>(std::count(shown.begin(), shown.end(), '\n')),
            app::KnownSettingsKeys().size());
}

TEST_F(ConfigCommand, SetStoresOneKeyByTheWritersRuleAndTheWindowReadsIt) {
  app::SaveSettings(app::BackupSettings{}, Path());
  WriteBytes(Path(), "; written by hand\r\n" + ReadBytes(Path()) + "[Outra]\r\nChave=valor\r\n");
  const std::string before = ReadBytes(Path());

  ASSERT_EQ(Run({"set", "ftp.porta", "2121"}), 0) << last_->err.str();
  ASSERT_EQ(Run({"set", "Servidor.Senha", "nova senha"}), 0);
  ASSERT_EQ(Run({"set", "FTP.Senha", "  com brancos  "}), 0);
  ASSERT_EQ(Run({"set", "Destino.Salvar", "/srv/cópias/"}), 0);
  ASSERT_EQ(Run({"set", "FTP.MostraErro", "N"}), 0);

  const app::BackupSettings settings = Loaded();
  EXPECT_EQ(settings.EdtPortaFTP, "2121");
  EXPECT_EQ(settings.EdtSenha, "nova senha");
  EXPECT_EQ(settings.EdtSenhaFTP, "  com brancos  ");
  EXPECT_EQ(settings.EdtDestino, "/srv/cópias/");
  EXPECT_TRUE(settings.Check_ErroFTP);
  const std::string after = ReadBytes(Path());
  EXPECT_TRUE(after.starts_with("; written by hand\r\n[Servidor]\r\n"));
  EXPECT_TRUE(after.ends_with("[Outra]\r\nChave=valor\r\n"));
  EXPECT_NE(after.find("Salvar=/srv/c\xF3pias/\r\n"), std::string::npos);  // Windows-1252 in the file
  EXPECT_EQ(after.find("nova senha"), std::string::npos);
  // Nothing but the five values changed: every line of the file keeps its place.
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n'));
}

TEST_F(ConfigCommand, BadInputIsRefusedNamingTheKeyAndTheFileStaysAsItWas) {
  app::SaveSettings(app::BackupSettings{}, Path());
  const std::string before = ReadBytes(Path());
  const std::string separator(1, platform::kPathSeparator);
  struct Case {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      {{"set", "FTP.Portas", "21"}, "chave desconhecida: FTP.Portas"},
      {{"set", "Porta", "21"}, "chave desconhecida: Porta"},
      {{"set", "FTP.Servidor", "ftp\nexample"}, "FTP.Servidor: o valor contém uma quebra de linha."},
      {{"set", "FTP.Porta", "vinte"}, "FTP.Porta: não é um número."},
      {{"set", "FTP.Porta", "70000"}, "FTP.Porta: fora do intervalo de 1 a 65535."},
      {{"set", "Destino.Salvar", "/srv/copias"},
       "Destino.Salvar: a pasta deve terminar com o separador \"" + separator + "\"."},
      {{"set", "Destino.SalvarDestino", "sim"}, "Destino.SalvarDestino: deve ser S ou N."},
      {{"set", "FTP.Porta"}, "uso: config set"},
      {{"set", "FTP.Porta", "21", "22"}, "uso: config set"},
      {{"set", "FTP.Senha", "-"}, "FTP.Senha: nenhuma senha foi digitada."},  // nothing on standard input
      {{"remove"}, "uso: config show"},
      {{}, "uso: config show"},
      {{"show", "FTP.Porta"}, "uso: config show"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.words), 64) << c.message;
    EXPECT_NE(last_->err.str().find(c.message), std::string::npos) << last_->err.str();
    EXPECT_EQ(ReadBytes(Path()), before) << c.message;
  }
}

TEST_F(ConfigCommand, PasswordGivenAsDashIsReadWithoutEcho) {
  app::SaveSettings(app::BackupSettings{}, Path());
  CapturedConsole atTerminal({"digitada"}, true);
  ASSERT_EQ(Run({"set", "FTP.Senha", "-"}, atTerminal), 0);
  EXPECT_EQ(atTerminal.input.hiddenReads, std::vector<bool>{true});
  EXPECT_EQ(atTerminal.err.str(), "FTP.Senha: ");
  EXPECT_EQ(Loaded().EdtSenhaFTP, "digitada");

  CapturedConsole piped({"do script"}, false);
  ASSERT_EQ(Run({"set", "Servidor.Senha", "-"}, piped), 0);
  EXPECT_EQ(piped.err.str(), "");
  EXPECT_EQ(Loaded().EdtSenha, "do script");

  // Only passwords read "-" from the terminal: elsewhere it is the value itself.
  CapturedConsole plain({"never read"}, true);
  ASSERT_EQ(Run({"set", "FTP.Pasta", "-"}, plain), 0);
  EXPECT_TRUE(plain.input.hiddenReads.empty());
  EXPECT_EQ(Loaded().EdtPastaFTP, "-");
}

}  // namespace

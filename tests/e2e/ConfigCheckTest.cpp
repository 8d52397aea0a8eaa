// "torvi-backup config check" against the private Firebird server and pyftpdlib: each value is checked as
// the run would use it, one line per finding, and the exit status says whether a run would fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "tests/fixtures/WholeRunSettings.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/fixtures/ftp/FtpServers.h"

namespace {

namespace fs = std::filesystem;
using fixtures::CommandResult;
using fixtures::RunCommand;
using fixtures::ShellQuote;

TEST(ConfigCheck, FindsWhatWouldMakeARunFail) {
  ftpfixtures::ScratchFolder root;
  fixtures::FirebirdServer firebird;
  ftpfixtures::PyFtpServer ftpServer;
  fs::create_directory(root / "destino");
  const app::BackupSettings good = fixtures::WholeRunSettings(firebird, ftpServer, root / "destino/");
  const std::string config = root / "config/";
  fs::create_directory(config);

  struct Case {
    const char* name;
    std::function<void(app::BackupSettings&)> change;
    std::vector<std::pair<const char*, const char*>> handEdits;  // written over the saved file
    int status;
    std::vector<std::string> lines;  // each must be in the output
    std::vector<std::string> absent;
  } cases[] = {
      {"good",
       [](app::BackupSettings&) {},
       {},
       0,
       {"ok: banco de dados: o servidor " + firebird.Address() + " aceitou o usuário SYSDBA\n",
        "ok: FTP: Conexão OK!\n", "Nenhum problema encontrado.\n"},
       {"erro:"}},
      {"wrong database password",
       [](app::BackupSettings& s) { s.EdtSenha = "errada"; },
       {},
       1,
       {"erro: banco de dados: ", "1 problema(s) impede(m) o backup.\n"},
       {"ok: banco de dados"}},
      {"FTP server not listening",
       [](app::BackupSettings& s) { s.EdtPortaFTP = std::to_string(ftpfixtures::ClosedPort()); },
       {},
       1,
       {"erro: FTP: Problemas com a Conexão.\n"},
       {"ok: FTP"}},
      {"FTP off: no connection test",
       [](app::BackupSettings& s) {
         s.CheckFTP = false;
         s.EdtPortaFTP = std::to_string(ftpfixtures::ClosedPort());
       },
       {},
       0,
       {"Nenhum problema encontrado.\n"},
       {"FTP"}},
      {"missing destination",
       [&root](app::BackupSettings& s) { s.EdtDestino = root / "nao-existe/"; },
       {},
       1,
       {"erro: Destino.Salvar: a pasta não existe: " + root / "nao-existe/\n"},
       {}},
      {"remote server without its share",
       [](app::BackupSettings& s) {
         s.EdtPastaComp = "";
         s.EdtBase = "";
       },
       {},
       1,
       {"erro: Servidor.PastaComp: vazio\n", "erro: Servidor.Base: vazio"},
       {}},
      {"values no run can use",
       [](app::BackupSettings&) {},
       {{"Porta", "vinte"}, {"Salvar", "/srv/copias"}, {"SalvarDestino", "sim"}},
       1,
       {"erro: FTP.Porta: não é um número\n",
        "erro: Destino.Salvar: a pasta deve terminar com o separador \"/\"\n",
        "erro: Destino.SalvarDestino: deve ser S ou N\n", "3 problema(s)"},
       {"banco de dados", "FTP:"}},
  };
  for (const auto& c : cases) {
    app::BackupSettings settings = good;
    c.change(settings);
    const std::string path = config + app::kSettingsFileName;
    app::SaveSettings(settings, path);
    for (const auto& [key, value] : c.handEdits) {
      const char* section = std::string(key) == "Porta" ? "FTP" : "Destino";
      app::WriteProfileString(path, section, key, value);
    }
    const CommandResult result =
        RunCommand(std::string(TORVI_BACKUP_PROGRAM) + " --config " + ShellQuote(config) + " --work " +
                   ShellQuote(root / "work/") + " config check");
    EXPECT_EQ(result.exitCode, c.status) << c.name << "\n" << result.output;
    for (const std::string& line : c.lines) {
      EXPECT_NE(result.output.find(line), std::string::npos) << c.name << ": " << line << "\n"
                                                             << result.output;
    }
    for (const std::string& text : c.absent) {
      EXPECT_EQ(result.output.find(text), std::string::npos) << c.name << ": " << text << "\n"
                                                             << result.output;
    }
  }
}

}  // namespace

#include "cli/ConfigCheck.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "app/SettingsKeys.h"
#include "cli/ExitStatus.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/Utf8Path.h"
#include "run/ConnectionTest.h"
#include "run/DatabaseProbe.h"
#include "run/MailSettings.h"
#include "run/RunNames.h"

namespace cli {
namespace {

class Findings {
 public:
  explicit Findings(std::ostream& out) : out_(out) {}
  void Problem(const std::string& subject, const std::string& text) {
    out_ << "erro: " << subject << ": " << text << "\n";
    ++problems_;
  }
  void Good(const std::string& subject, const std::string& text) {
    out_ << "ok: " << subject << ": " << text << "\n";
  }
  int Problems() const { return problems_; }

 private:
  std::ostream& out_;
  int problems_ = 0;
};

// Whether a file can be made in the folder (created with its parents when missing, as the run does).
bool CanWriteInto(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(platform::Utf8Path(folder), error);
  const std::filesystem::path probe = platform::Utf8Path(folder + ".torvi-check");
  std::ofstream(probe, std::ios::binary).close();
  const bool written = std::filesystem::exists(probe, error);
  std::filesystem::remove(probe, error);
  return written;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(platform::Utf8Path(path), error);
}

void CheckForms(const app::ProfileText& profile, Findings& findings) {
  for (const app::SettingsKey& key : app::KnownSettingsKeys()) {
    const std::string value = app::PlainValue(key, profile.Read(key.section, key.key));
    if (value.empty()) continue;  // not set: the checks of what the run needs below speak for it
    const std::string problem = app::ValueProblem(key, value);
    if (!problem.empty()) findings.Problem(app::QualifiedName(key), problem);
  }
}

// A folder setting the run needs: set, and a folder of this machine that takes files.
void CheckNeededFolder(const std::string& subject, const std::string& folder, Findings& findings) {
  if (folder.empty()) {
    findings.Problem(subject, "vazio");
  } else if (!IsFolder(folder)) {
    findings.Problem(subject, "a pasta não existe: " + folder);
  } else if (!CanWriteInto(folder)) {
    findings.Problem(subject, "não é possível gravar na pasta " + folder);
  }
}

void CheckDatabase(const app::BackupSettings& settings, Findings& findings) {
  if (settings.EdtBase.empty()) findings.Problem("Servidor.Base", "vazio (o caminho do banco de dados)");
  if (!run::IsLocalServer(settings)) {
    if (settings.EdtPastaTemp.empty()) findings.Problem("Servidor.Temp", "vazio (servidor remoto)");
    CheckNeededFolder("Servidor.PastaComp", settings.EdtPastaComp, findings);
  }
  try {
    run::ProbeDatabaseServer(settings);
    findings.Good("banco de dados",
                  "o servidor " + settings.EdtServidor + " aceitou o usuário " + settings.EdtUsuario);
  } catch (const std::exception& error) {
    findings.Problem("banco de dados", platform::OneLine(error.what()));
  }
}

void CheckFtp(const app::BackupSettings& settings, const std::string& workFolder, bool workFolderUsable,
              Findings& findings) {
  const int before = findings.Problems();
  if (settings.EdtServidorFTP.empty()) findings.Problem("FTP.Servidor", "vazio");
  if (settings.edtarquivosftp.empty()) findings.Problem("FTP.NumeroDeArquivos", "vazio");
  if (findings.Problems() != before || !workFolderUsable) return;
  std::ostringstream messages;
  const bool connected = run::TestConnectionHeadless(settings, workFolder, messages);
  const std::string said = platform::OneLine(messages.str());
  if (connected) {
    findings.Good("FTP", said);
  } else {
    findings.Problem("FTP", said);
  }
}

// The notice's settings, checked without sending (--test-email sends).
void CheckMail(const app::BackupSettings& settings, Findings& findings) {
  const std::string problem = run::MailSetupProblem(settings);
  if (!problem.empty()) {
    findings.Problem("e-mail", problem);
    return;
  }
  findings.Good("e-mail", "avisos para " + settings.EdtEmail + " por " + settings.EdtServidorEmail + ":" +
                              settings.EdtPortaEmail + " (--test-email envia um teste)");
}

}  // namespace

int NoSettingsFile(const std::string& settingsPath, Console& console) {
  console.err << "torvi-backup: arquivo de configuração não encontrado: " << settingsPath
              << "\n  (crie-o com \"torvi-backup --config PASTA config init\")\n";
  return kExitNoSettings;
}

int CheckSettings(const std::string& settingsPath, const std::string& workFolder, Console& console) {
  if (!platform::FileExists(settingsPath)) return NoSettingsFile(settingsPath, console);
  Findings findings(console.out);
  CheckForms(app::LoadProfile(settingsPath), findings);

  app::BackupSettings settings;
  if (findings.Problems() == 0) {
    try {
      app::LoadSettings(settings, settingsPath);
      app::LoadEmailSettings(settings, settingsPath);
    } catch (const platform::Exception& error) {
      findings.Problem(settingsPath, error.Message());
    }
  }
  if (findings.Problems() == 0) {
    const bool workFolderUsable = CanWriteInto(workFolder);
    if (!workFolderUsable)
      findings.Problem("pasta de trabalho", "não é possível gravar na pasta " + workFolder);
    CheckDatabase(settings, findings);
    if (settings.CheckDestino) CheckNeededFolder("Destino.Salvar", settings.EdtDestino, findings);
    if (settings.CheckFTP) CheckFtp(settings, workFolder, workFolderUsable, findings);
    if (settings.CheckEnviaEmail) CheckMail(settings, findings);
  }

  if (findings.Problems() == 0) {
    console.out << "Nenhum problema encontrado.\n";
    return kExitDone;
  }
  console.out << findings.Problems() << " problema(s) impede(m) o backup.\n";
  return kExitProblemFound;
}

}  // namespace cli

#include "run/DatabaseStageService.h"

#include "platform/Files.h"
#include "run/RunTexts.h"

namespace run {
namespace {

// The message for a backup file that a server on this machine did not write.
std::string MissingFileNotice(const app::BackupSettings& settings) {
  return "Não foi possível criar o arquivo. Verifique se a pasta " + settings.EdtPastaTemp +
         " existe,\rou se as Configurações do banco estão corretas.";
}

}  // namespace

ibservice::TIBBackupService& DatabaseStageService::Component() {
  if (!IBBackupService1) {
    auto component = std::make_unique<ibservice::TIBBackupService>();
    component->SetServerName("localhost");
    component->SetProtocol(ibservice::TProtocol::TCP);
    component->SetParams({"user_name=SYSDBA", "password=velvetorb"});
    component->SetLoginPrompt(false);
    component->SetVerbose(true);
    component->SetBlockingFactor(0);
    component->SetOptions({ibservice::TBackupOption::NoGarbageCollection});
    IBBackupService1 = std::move(component);
  }
  return *IBBackupService1;
}

DatabaseOutcome DatabaseStageService::Perform(RunContext& context) {
  const app::BackupSettings& settings = context.settings;
  const std::string& backupPath = context.names.serverBackupPath;
  ibservice::TIBBackupService& service = Component();

  service.SetServerName(settings.EdtServidor);
  service.SetDatabaseName(settings.EdtBase);
  service.Params().Clear();
  service.Params().Add("user_name=" + settings.EdtUsuario);
  service.Params().Add("password=" + settings.EdtSenha);
  service.BackupFile().Clear();
  service.BackupFile().Add(backupPath);

  service.Attach();
  service.SetActive(true);
  service.Start();

  // The last line, the one that ends the report, is empty and goes to the console too.
  while (!service.EndOfOutput()) {
    if (CeilingEndsStage(context)) throw RunCeilingReached(context.ceiling);
    context.console.AppendPlain(service.ReadOutputLine());
  }
  context.window.ProcessMessages();

  if (IsLocalServer(settings)) {
    if (platform::FileExists(backupPath)) {
      context.log.WriteStamped(std::string(texts::kLogFileCreated) + backupPath);
    } else {
      context.log.WriteStamped(texts::kLogCannotCreateFile);
      context.window.ShowNotice(MissingFileNotice(settings));
      return DatabaseOutcome::BackupFileMissing;
    }
  }
  return DatabaseOutcome::BackupWritten;
}

}  // namespace run

#include "run/DatabaseProbe.h"

#include "ibservice/TIBBackupService.h"

namespace run {

void ProbeDatabaseServer(const app::BackupSettings& settings) {
  ibservice::TIBBackupService service;
  service.SetServerName(settings.EdtServidor);
  service.SetProtocol(ibservice::TProtocol::TCP);
  service.SetLoginPrompt(false);
  service.SetParams({"user_name=" + settings.EdtUsuario, "password=" + settings.EdtSenha});
  service.Attach();
  service.Detach();
}

}  // namespace run

#include "run/ConnectionTest.h"

#include <exception>

#include "platform/PrivateFolder.h"
#include "run/Archiver.h"
#include "run/FtpDeliveryStage.h"
#include "run/HeadlessWindow.h"

namespace run {

bool BtnTestaConexaoClick(const ConnectionTestSetup& setup) {
  const app::BackupSettings& settings = setup.settings;
  ftp::TIdFTP& client = setup.IdFTP1;
  client.Passive = settings.ComboBox1 != 0;
  const std::string payload = InstallArchiver(setup.privateFolder, setup.archiver);
  try {
    client.CloseConnection();
    ConfigureFtpClient(client, settings);
    client.ConnectAndLogin(true, ftp::WaitDefault);
    // The same folder handling as the delivery, so a folder the test passes is one the runs can use.
    EnterDeliveryFolder(client, settings.EdtPastaFTP);
    std::vector<std::string> listing;
    ListMatching(client, listing, "*");
    client.UploadFile(payload, kConnectionTestRemoteName, false);
    client.DeleteRemoteFile(kConnectionTestRemoteName);
    client.CloseConnection();
  } catch (const std::exception&) {
    setup.window.ShowNotice(kConnectionProblems);
    return false;
  }
  setup.window.ShowNotice(kConnectionOk);
  return true;
}

bool TestConnectionHeadless(const app::BackupSettings& settings, const std::string& workFolder,
                            std::ostream& errors) {
  HeadlessWindow window(errors, errors);
  const std::unique_ptr<ftp::TIdFTP> client = MakeIdFTP1();
  try {
    return BtnTestaConexaoClick(
        {settings, *client, window, workFolder, platform::UserPrivateFolder(), EmbeddedArchiver()});
  } catch (const std::exception& error) {
    errors << error.what() << std::endl;
    return false;
  }
}

}  // namespace run

#include "run/ConnectionTest.h"

#include <exception>

#include "ftp/Exceptions.h"
#include "platform/PrivateFolder.h"
#include "run/Archiver.h"
#include "run/FtpDeliveryStage.h"
#include "run/HeadlessWindow.h"

namespace run {

namespace {

void Exchange(const ConnectionTestSetup& setup, const std::string& payload) {
  ftp::TIdFTP& client = setup.IdFTP1;
  client.ConnectAndLogin(true, ftp::WaitDefault);
  // The same folder handling as the delivery, so a folder the test passes is one the runs can use.
  EnterDeliveryFolder(client, setup.settings.EdtPastaFTP);
  std::vector<std::string> listing;
  ListMatching(client, listing, "*");
  client.UploadFile(payload, kConnectionTestRemoteName, false);
  client.DeleteRemoteFile(kConnectionTestRemoteName);
  client.CloseConnection();
}

}  // namespace

bool BtnTestaConexaoClick(const ConnectionTestSetup& setup) {
  const app::BackupSettings& settings = setup.settings;
  ftp::TIdFTP& client = setup.IdFTP1;
  client.Passive = settings.ComboBox1 != 0;
  const std::string payload = InstallArchiver(setup.privateFolder, setup.archiver);
  try {
    client.CloseConnection();
    ConfigureFtpClient(client, settings);
    try {
      Exchange(setup, payload);
    } catch (const ftp::EIdTLSUntrusted& untrusted) {
      if (!setup.trustCertificate || !setup.trustCertificate(untrusted.Certificate())) throw;
      client.PinnedFingerprint = untrusted.Certificate().Fingerprint;
      Exchange(setup, payload);
    }
  } catch (const std::exception&) {
    setup.window.ShowNotice(kConnectionProblems);
    return false;
  }
  setup.window.ShowNotice(kConnectionOk);
  return true;
}

bool TestConnectionHeadless(const app::BackupSettings& settings, const std::string& workFolder,
                            std::ostream& errors, const CertificateTrust& trustCertificate) {
  HeadlessWindow window(errors, errors);
  const std::unique_ptr<ftp::TIdFTP> client = MakeIdFTP1();
  try {
    return BtnTestaConexaoClick({settings, *client, window, workFolder, platform::UserPrivateFolder(),
                                 EmbeddedArchiver(), trustCertificate});
  } catch (const std::exception& error) {
    errors << error.what() << std::endl;
    return false;
  }
}

}  // namespace run

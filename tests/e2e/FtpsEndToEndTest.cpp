// Whole runs of torvi-backup delivering over FTPS to vsftpd, which requires TLS on control and data
// connections and session reuse, with a self-signed certificate: the connection test shows it and fails
// until --trust-certificate pins it; runs trust it only once pinned.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "tests/fixtures/WholeRunSettings.h"
#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using fixtures::CommandResult;
using fixtures::RunCommand;
using fixtures::ShellQuote;
using testsupport::FileNames;
using testsupport::ReadBytes;

class FtpsEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"config", "work", "destino"}) fs::create_directory(root / name);
    settings = fixtures::WholeRunSettings(firebird, pyftpd, root / "destino/");
    settings.EdtServidorFTP = "localhost";
    settings.EdtPortaFTP = std::to_string(vsftpd.Port());
    settings.EdtUsuarioFTP = vsftpd.User();
    settings.EdtSenhaFTP = ftpfixtures::VsFtpServer::kPassword;
    settings.EdtPastaFTP = "backup";
    settings.ComboSeguranca = 1;
    app::SaveSettings(settings, SettingsFile());
  }

  std::string SettingsFile() const { return root / "config/Configuracaobkp.ini"; }

  CommandResult Run(const std::string& options = "") {
    return RunCommand("XDG_DATA_HOME=" + ShellQuote(root / "data") + " " + std::string(TORVI_BACKUP_PROGRAM) +
                      " --config " + ShellQuote(root / "config/") + " --work " + ShellQuote(root / "work/") +
                      " " + options);
  }

  std::vector<std::string> Log() const { return testsupport::LogLines(root / "config/BkpLog.txt"); }

  ftpfixtures::ScratchFolder root;
  ftpfixtures::TestCertificates certificates;
  ftpfixtures::VsFtpServer vsftpd{{certificates.Certificate("selfsigned"), certificates.Key("selfsigned")}};
  fixtures::FirebirdServer firebird;
  ftpfixtures::PyFtpServer pyftpd;  // only for the common settings; nothing is sent to it
  app::BackupSettings settings;
};

TEST_F(FtpsEndToEndTest, AnUntrustedCertificateFailsEveryAttemptWithItsReasonInTheLog) {
  const CommandResult run = Run();
  EXPECT_EQ(run.exitCode, 2) << run.output;
  const std::vector<std::string> log = Log();
  const auto rows = std::count_if(log.begin(), log.end(), [this](const std::string& line) {
    return line.find("Certificado do servidor não confiável") != std::string::npos &&
           line.find(certificates.Fingerprint("selfsigned")) != std::string::npos;
  });
  EXPECT_EQ(rows, 3) << run.output;
  EXPECT_FALSE(fs::exists(vsftpd.Home() + "/backup"));
}

TEST_F(FtpsEndToEndTest, TheConnectionTestPinsTheCertificateAndTheRunDeliversOverTls) {
  const std::string fingerprint = certificates.Fingerprint("selfsigned");
  const CommandResult refused = Run("--test-ftp");
  EXPECT_EQ(refused.exitCode, 2) << refused.output;
  EXPECT_NE(refused.output.find("SHA-256: " + fingerprint), std::string::npos) << refused.output;
  EXPECT_NE(refused.output.find("Assunto: CN = selfsigned"), std::string::npos) << refused.output;
  EXPECT_EQ(app::LoadProfile(SettingsFile()).Read("FTP", "Certificado"), "");

  const CommandResult trusted = Run("--test-ftp --trust-certificate");
  EXPECT_EQ(trusted.exitCode, 0) << trusted.output;
  EXPECT_EQ(app::LoadProfile(SettingsFile()).Read("FTP", "Certificado"), fingerprint);

  const CommandResult run = Run();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> archives = FileNames(root / "work/", ".rar");
  ASSERT_EQ(archives.size(), 1u);
  const std::string bytes = ReadBytes(root / "work/" + archives.front());
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(ReadBytes(vsftpd.Home() + "/backup/" + archives.front()), bytes);
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/support/TempFolder.h"

namespace ftp {
namespace {

using ftpfixtures::ServerTls;
using ftpfixtures::TestCertificates;

constexpr std::int64_t kUploadSize = std::int64_t{8} << 20;

// The certificates are made once for the whole suite: openssl's key generation takes seconds.
class Ftps : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { certificates = std::make_unique<TestCertificates>(); }
  static void TearDownTestSuite() { certificates.reset(); }

  static ServerTls Tls(const std::string& name, bool implicit = false) {
    return {certificates->Certificate(name), certificates->Key(name), implicit};
  }

  void Aim(const ftpfixtures::VsFtpServer& server) {
    client.Host = "localhost";
    client.Port = server.Port();
    client.Username = server.User();
    client.Password = ftpfixtures::VsFtpServer::kPassword;
    client.ReadTimeout = kProgramReadTimeout;
    client.UseTLS = TIdUseTLS::utUseExplicitTLS;
  }

  void Aim(const ftpfixtures::PyFtpServer& server) {
    client.Host = "localhost";
    client.Port = server.Port();
    client.Username = ftpfixtures::PyFtpServer::kUser;
    client.Password = ftpfixtures::PyFtpServer::kPassword;
    client.ReadTimeout = kProgramReadTimeout;
    client.UseTLS = TIdUseTLS::utUseExplicitTLS;
  }

  // Folder, listing, two uploads (the second data connection resumes the session too), a listing that
  // names them, a delete; the server's copy must be the file, byte for byte.
  void RoundTrip(const std::string& home) {
    client.ConnectAndLogin();
    client.CreateFolder("bkp");
    client.EnterFolder("bkp");
    std::vector<std::string> listing;
    client.ListFolder(&listing, "", true);
    EXPECT_TRUE(listing.empty());
    client.UploadFile(file, "one.rar");
    client.UploadFile(file, "two.rar");
    client.ListFolder(&listing, "", false);
    EXPECT_EQ(listing.size(), 2u);
    client.DeleteRemoteFile("two.rar");
    client.CloseConnection();
    EXPECT_EQ(testsupport::ReadBytes(home + "/bkp/one.rar"), testsupport::ReadBytes(file));
    EXPECT_FALSE(std::filesystem::exists(home + "/bkp/two.rar"));
  }

  // An attempt refused for its certificate, with the certificate shown and nothing sent in clear text
  // or after the handshake.
  void ExpectUntrusted(const std::string& certificate, const std::string& problem) {
    try {
      client.ConnectAndLogin();
      ADD_FAILURE() << "logged in";
    } catch (const EIdTLSUntrusted& error) {
      EXPECT_EQ(error.Certificate().Fingerprint, certificates->Fingerprint(certificate));
      EXPECT_NE(error.Certificate().Problem.find(problem), std::string::npos) << error.Certificate().Problem;
      EXPECT_NE(error.Certificate().Subject.find("CN = " + certificate), std::string::npos);
      EXPECT_FALSE(error.Certificate().NotAfter.empty());
    }
    EXPECT_FALSE(client.IsConnected());
  }

  void SetUp() override {
    file = scratch / "archive.rar";
    ftpfixtures::WritePseudoRandomFile(file, kUploadSize);
  }

  static inline std::unique_ptr<TestCertificates> certificates;
  ftpfixtures::ScratchFolder scratch;
  std::string file;
  TIdFTP client;
};

// The commands vsftpd logged, one a line: its lines read `... FTP command: Client "127.0.0.1", "USER x"`.
std::string Commands(const std::string& protocolLog) {
  if (!std::filesystem::exists(protocolLog)) return {};
  std::string commands;
  for (const std::string& line : testsupport::Lines(testsupport::ReadBytes(protocolLog), "\n")) {
    const std::size_t at = line.find("FTP command: ");
    if (at == std::string::npos) continue;
    const std::size_t start = line.find('"', line.find(',', at)) + 1;
    commands += line.substr(start, line.rfind('"') - start) + "\n";
  }
  return commands;
}

TEST_F(Ftps, VsftpdRequiringSessionReuseTakesUploadsPassiveAndActive) {
  ftpfixtures::VsFtpServer server(Tls("trusted"));
  for (const bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    Aim(server);
    client.TrustedCAFile = certificates->CA();
    client.Passive = passive;
    RoundTrip(server.Home());
    EXPECT_EQ(client.ServerCertificate().Fingerprint, certificates->Fingerprint("trusted"));
    std::filesystem::remove_all(server.Home() + "/bkp");
  }
  const std::string commands = Commands(server.ProtocolLog());
  EXPECT_EQ(commands.find("AUTH TLS"), 0u) << commands;
}

TEST_F(Ftps, PyftpdlibTakesUploadsPassiveAndActive) {
  ftpfixtures::PyFtpServer server("", Tls("trusted"));
  for (const bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    Aim(server);
    client.TrustedCAFile = certificates->CA();
    client.Passive = passive;
    RoundTrip(server.Home());
    std::filesystem::remove_all(server.Home() + "/bkp");
  }
}

TEST_F(Ftps, ImplicitTlsFromTheFirstByte) {
  ftpfixtures::VsFtpServer server(Tls("trusted", true));
  Aim(server);
  client.UseTLS = TIdUseTLS::utUseImplicitTLS;
  client.TrustedCAFile = certificates->CA();
  client.Passive = true;
  RoundTrip(server.Home());
}

TEST_F(Ftps, CertificatesThatDoNotVerifyAreRefusedBeforeTheLogin) {
  struct Case {
    std::string certificate;
    bool withCA;
    std::string problem;
  };
  const Case cases[] = {{"selfsigned", true, "self-signed"},
                        {"otherhost", true, "mismatch"},
                        {"expired", true, "expired"},
                        {"trusted", false, "local issuer"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.certificate);
    ftpfixtures::VsFtpServer server(Tls(c.certificate));
    Aim(server);
    if (c.withCA) client.TrustedCAFile = certificates->CA();
    ExpectUntrusted(c.certificate, c.problem);
    const std::string commands = Commands(server.ProtocolLog());
    EXPECT_EQ(commands.find("USER"), std::string::npos) << commands;
    EXPECT_EQ(commands.find("PASS"), std::string::npos) << commands;
    // The pin of what was shown lets the same server in.
    client.PinnedFingerprint = certificates->Fingerprint(c.certificate);
    client.Passive = true;
    RoundTrip(server.Home());
    client.PinnedFingerprint.clear();
    client.TrustedCAFile.clear();
  }
}

TEST_F(Ftps, APinOfAnotherCertificateDoesNotLetAnUntrustedOneIn) {
  ftpfixtures::VsFtpServer server(Tls("selfsigned"));
  Aim(server);
  client.PinnedFingerprint = certificates->Fingerprint("expired");
  ExpectUntrusted("selfsigned", "não confere");
}

TEST_F(Ftps, APinThatIsNoFingerprintFailsBeforeAnyConnection) {
  ftpfixtures::VsFtpServer server(Tls("trusted"));
  Aim(server);
  for (const std::string& pin :
       {std::string("not hexadecimal"), std::string("AB:CD"), std::string(64, 'G')}) {
    client.PinnedFingerprint = pin;
    EXPECT_THROW(client.ConnectAndLogin(), EIdBadFingerprint) << pin;
  }
  EXPECT_EQ(Commands(server.ProtocolLog()), "");
}

TEST_F(Ftps, AServerWithoutTlsGetsNeitherUserNorPassword) {
  ftpfixtures::VsFtpServer server;
  Aim(server);
  EXPECT_THROW(client.ConnectAndLogin(), EIdTLSRefused);
  EXPECT_EQ(Commands(server.ProtocolLog()), "AUTH TLS\n");
}

TEST_F(Ftps, ADataConnectionWithoutTlsFailsTheTransferNotTheSession) {
  ftpfixtures::PyFtpServer server("plain-data", Tls("trusted"));
  Aim(server);
  client.TrustedCAFile = certificates->CA();
  client.ReadTimeout = 3000;
  for (const bool passive : {true, false}) {
    client.Passive = passive;
    client.ConnectAndLogin();
    std::vector<std::string> listing;
    testsupport::WriteBytes(server.Home() + "/listed.rar", "x");
    EXPECT_THROW(client.ListFolder(&listing, "", true), EIdTLSError);
    EXPECT_THROW(client.UploadFile(file, "up.rar"), EIdException);
    client.CloseConnection();
  }
}

// Servers that break the TLS start: each attempt ends with a clear error within the read timeout, and
// nothing after AUTH TLS goes out in clear text.
TEST(FtpsHostile, BrokenTlsStartsFailTheAttemptInBoundedTime) {
  struct Case {
    std::string scenario;
    std::string message;
  };
  const Case cases[] = {{"auth_534", "534 Request denied"},
                        {"auth_504", "504 Security mechanism"},
                        {"tls_handshake_cut", "Falha na negociação TLS"},
                        {"tls_handshake_garbage", "Falha na negociação TLS"},
                        {"tls_handshake_silent", "tempo limite"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    ftpfixtures::FakeFtpServer server(c.scenario);
    TIdFTP client;
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.Username = "user";
    client.Password = "secret";
    client.ReadTimeout = 1500;
    client.UseTLS = TIdUseTLS::utUseExplicitTLS;
    try {
      client.ConnectAndLogin();
      ADD_FAILURE() << "logged in";
    } catch (const EIdTLSError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(server.Commands(), std::vector<std::string>{"AUTH TLS"});
  }
}

}  // namespace
}  // namespace ftp

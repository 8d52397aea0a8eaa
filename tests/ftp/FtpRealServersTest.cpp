#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "tests/fixtures/ftp/FtpServers.h"

namespace ftp {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int64_t kGibibyte = std::int64_t{1} << 30;

enum class Server { pyftpdlib, vsftpd };

struct Target {
  Server server;
  bool passive;
};

std::string Name(const Target& target) {
  return std::string(target.server == Server::pyftpdlib ? "pyftpdlib" : "vsftpd") +
         (target.passive ? "Passive" : "Active");
}

void PrintTo(const Target& target, std::ostream* out) { *out << Name(target); }

// One server of each kind and one large file for the whole suite: starting them per test costs seconds.
class FtpRealServers : public ::testing::TestWithParam<Target> {
 protected:
  static void SetUpTestSuite() {
    pyftpd = std::make_unique<ftpfixtures::PyFtpServer>();
    vsftpd = std::make_unique<ftpfixtures::VsFtpServer>();
    files = std::make_unique<ftpfixtures::ScratchFolder>();
    std::ofstream(EmptyFile(), std::ios::binary).close();
  }
  static void TearDownTestSuite() {
    files.reset();
    vsftpd.reset();
    pyftpd.reset();
  }

  // Written on first use: ctest runs each test in a process of its own.
  static std::string BigFile() {
    const std::string path = *files / "big.rar";
    if (!std::filesystem::exists(path)) ftpfixtures::WritePseudoRandomFile(path, kGibibyte);
    return path;
  }
  static std::string EmptyFile() { return *files / "empty.rar"; }

  static bool SameBytes(const std::string& a, const std::string& b) {
    if (std::filesystem::file_size(a) != std::filesystem::file_size(b)) return false;
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    std::vector<char> leftBlock(1 << 20);
    std::vector<char> rightBlock(1 << 20);
    while (left && right) {
      left.read(leftBlock.data(), static_cast<std::streamsize>(leftBlock.size()));
      right.read(rightBlock.data(), static_cast<std::streamsize>(rightBlock.size()));
      if (left.gcount() != right.gcount() ||
          !std::equal(leftBlock.begin(), leftBlock.begin() + left.gcount(), rightBlock.begin())) {
        return false;
      }
    }
    return true;
  }

  void SetUp() override {
    const Target target = GetParam();
    client.Host = "127.0.0.1";
    client.Passive = target.passive;
    client.ReadTimeout = kProgramReadTimeout;
    if (target.server == Server::pyftpdlib) {
      client.Port = pyftpd->Port();
      client.Username = ftpfixtures::PyFtpServer::kUser;
      client.Password = ftpfixtures::PyFtpServer::kPassword;
      home = pyftpd->Home();
    } else {
      client.Port = vsftpd->Port();
      client.Username = vsftpd->User();
      client.Password = ftpfixtures::VsFtpServer::kPassword;
      home = vsftpd->Home();
    }
    folder = target.passive ? "passive" : "active";
  }

  void TearDown() override {
    client.CloseConnection();
    std::filesystem::remove_all(home + "/" + folder);
  }

  static inline std::unique_ptr<ftpfixtures::PyFtpServer> pyftpd;
  static inline std::unique_ptr<ftpfixtures::VsFtpServer> vsftpd;
  static inline std::unique_ptr<ftpfixtures::ScratchFolder> files;

  TIdFTP client;
  std::string home;
  std::string folder;
};

INSTANTIATE_TEST_SUITE_P(Servers, FtpRealServers,
                         ::testing::Values(Target{Server::pyftpdlib, true}, Target{Server::pyftpdlib, false},
                                           Target{Server::vsftpd, true}, Target{Server::vsftpd, false}),
                         [](const auto& info) {
                           return std::string(info.param.server == Server::pyftpdlib ? "pyftpdlib"
                                                                                     : "vsftpd") +
                                  (info.param.passive ? "Passive" : "Active");
                         });

TEST_P(FtpRealServers, FoldersListingEmptyUploadAndDelete) {
  client.ConnectAndLogin();
  EXPECT_EQ(client.ServerSystem(), "UNIX Type: L8");
  client.CreateFolder(folder);
  try {
    client.CreateFolder(folder);
    ADD_FAILURE() << "created twice";
  } catch (const EIdProtocolReplyError& error) {
    EXPECT_EQ(error.ReplyCode(), 550);
  }
  client.EnterFolder(folder);
  client.UploadFile(EmptyFile(), "bkp01012026000000.rar");
  client.UploadFile(EmptyFile(),
                    folder == "passive" ? "/passive/bkp02012026000000.rar" : "bkp02012026000000.rar");
  ASSERT_TRUE(std::filesystem::exists(home + "/" + folder + "/bkp01012026000000.rar"));
  EXPECT_EQ(std::filesystem::file_size(home + "/" + folder + "/bkp02012026000000.rar"), 0u);

  Lines listing;
  if (GetParam().server == Server::pyftpdlib) {
    // pyftpdlib does not expand masks: the refusal is a reply error.
    try {
      client.ListFolder(&listing, "bkp*.rar", true);
      ADD_FAILURE() << "listed a mask";
    } catch (const EIdProtocolReplyError& error) {
      EXPECT_EQ(error.ReplyCode(), 550);
    }
    client.ListFolder(&listing, "", true);
  } else {
    client.ListFolder(&listing, "bkp*.rar", true);
  }
  ASSERT_EQ(listing.size(), 2u);
  EXPECT_EQ(listing[0].substr(listing[0].size() - 21), "bkp01012026000000.rar");
  EXPECT_EQ(listing[1].substr(listing[1].size() - 21), "bkp02012026000000.rar");

  client.DeleteRemoteFile("bkp01012026000000.rar");
  client.ListFolder(&listing, "", false);
  EXPECT_EQ(listing, Lines{"bkp02012026000000.rar"});
  EXPECT_THROW(client.DeleteRemoteFile("bkp01012026000000.rar"), EIdProtocolReplyError);
  EXPECT_TRUE(client.IsConnected());
}

TEST_P(FtpRealServers, UploadsAGibibyteByteForByteWithRunningTotals) {
  std::int64_t maximum = -1;
  std::int64_t last = 0;
  int begins = 0;
  bool totalsGrow = true;
  client.OnWorkBegin = [&](TIdComponent&, TWorkMode, std::int64_t max) {
    maximum = max;
    ++begins;
  };
  client.OnWork = [&](TIdComponent&, TWorkMode, std::int64_t count) {
    totalsGrow = totalsGrow && count > last;
    last = count;
  };
  client.ConnectAndLogin();
  client.CreateFolder(folder);
  client.EnterFolder(folder);
  client.UploadFile(BigFile(), "bkp03012026000000.rar");
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(maximum, kGibibyte);
  EXPECT_EQ(last, kGibibyte);
  EXPECT_TRUE(totalsGrow);
  EXPECT_TRUE(SameBytes(BigFile(), home + "/" + folder + "/bkp03012026000000.rar"));
}

TEST(FtpRealServer, AWrongPasswordIsRefusedWithTheServerText) {
  ftpfixtures::PyFtpServer server;
  TIdFTP client;
  client.Host = "localhost";
  client.Port = server.Port();
  client.Username = ftpfixtures::PyFtpServer::kUser;
  client.Password = "wrong";
  try {
    client.ConnectAndLogin();
    FAIL() << "logged in";
  } catch (const EIdProtocolReplyError& error) {
    EXPECT_EQ(error.ReplyCode(), 530);
    EXPECT_STREQ(error.what(), "Authentication failed.\r\n");
  }
  EXPECT_FALSE(client.IsConnected());
}

}  // namespace
}  // namespace ftp

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "tests/fixtures/ftp/FtpServers.h"

namespace ftp {
namespace {

using Lines = std::vector<std::string>;

const Lines kLogin = {"USER tester", "PASS s3cret", "TYPE I", "SYST"};

struct FakeSession {
  explicit FakeSession(const std::string& scenario) : server(scenario) {
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.Username = "tester";
    client.Password = "s3cret";
    client.ReadTimeout = 10000;
    client.OnDisconnected = [this](TIdComponent&) { events.push_back("disconnected"); };
  }
  // The commands the server received, once the client has closed.
  Lines Commands() {
    client.CloseConnection();
    return server.Commands();
  }
  ftpfixtures::FakeFtpServer server;
  TIdFTP client;
  Lines events;
};

TEST(FtpLogin, SendsUserPassTypeAndSystInOrderAfterTheWholeGreeting) {
  FakeSession session("standard");
  session.client.ConnectAndLogin();
  EXPECT_EQ(session.client.WelcomeReply.Text, (Lines{"hello", "ready"}));
  EXPECT_EQ(session.client.LoginReply().NumericCode, 230);
  EXPECT_EQ(session.client.ServerSystem(), "UNIX Type: L8");
  EXPECT_EQ(session.Commands(), kLogin);
}

TEST(FtpLogin, AMultiLineLoginReplyIsReadWhole) {
  FakeSession session("multi_line_login");
  session.client.ConnectAndLogin();
  EXPECT_EQ(session.client.LoginReply().Text, (Lines{"Welcome", "Files here", "Done"}));
  EXPECT_EQ(session.Commands(), kLogin);
}

TEST(FtpLogin, UserAnswered230GetsNoPass) {
  FakeSession session("user_230");
  session.client.ConnectAndLogin();
  EXPECT_EQ(session.Commands(), (Lines{"USER tester", "TYPE I", "SYST"}));
}

TEST(FtpLogin, Syst500MeansUnknownSystemAndTheLoginSucceeds) {
  FakeSession session("syst_500");
  session.client.ConnectAndLogin();
  EXPECT_EQ(session.client.ServerSystem(), "Unknown");
  EXPECT_TRUE(session.client.IsConnected());
}

// Every refusal fails the login with the server's text, and the connection is closed (OnDisconnected
// called) before the exception reaches the caller.
TEST(FtpLogin, RefusalsRaiseTheReplyAndCloseTheConnection) {
  const struct {
    const char* scenario;
    int code;
    const char* message;
    Lines commands;
  } cases[] = {
      {"greeting_421", 421, "Too many users\r\n", {}},
      {"greeting_120", 120, "Service ready in 1 minute\r\n", {}},
      {"pass_530", 530, "Login incorrect.\r\n", {"USER tester", "PASS s3cret"}},
      {"user_332", 332, "Need account.\r\n", {"USER tester"}},
      {"syst_502", 502, "SYST not implemented\r\n", kLogin},
      {"non_numeric_reply", 0, "Something\r\n", {"USER tester"}},
  };
  for (const auto& c : cases) {
    FakeSession session(c.scenario);
    try {
      session.client.ConnectAndLogin();
      ADD_FAILURE() << c.scenario << " logged in";
    } catch (const EIdProtocolReplyError& error) {
      EXPECT_EQ(error.ReplyCode(), c.code) << c.scenario;
      EXPECT_EQ(std::string(error.what()), c.message) << c.scenario;
      EXPECT_EQ(session.events, Lines{"disconnected"}) << c.scenario;
    }
    EXPECT_FALSE(session.client.IsConnected()) << c.scenario;
    EXPECT_EQ(session.server.Commands(), c.commands) << c.scenario;
  }
}

TEST(FtpLogin, AServerThatDropsOrFallsSilentFailsTheLogin) {
  FakeSession dropped("dropped_after_user");
  EXPECT_THROW(dropped.client.ConnectAndLogin(), EIdConnClosedGracefully);
  EXPECT_FALSE(dropped.client.IsConnected());

  FakeSession droppedMidReply("dropped_mid_reply");
  EXPECT_THROW(droppedMidReply.client.ConnectAndLogin(), EIdConnClosedGracefully);

  FakeSession silent("silent_after_user");
  silent.client.ReadTimeout = 300;
  EXPECT_THROW(silent.client.ConnectAndLogin(), EIdReadTimeout);
  EXPECT_EQ(silent.events, Lines{"disconnected"});
}

TEST(FtpLogin, ARefusedConnectionRaisesSocketErrorAndKeepsHostAndPort) {
  TIdFTP client;
  client.Host = "127.0.0.1";
  {
    ftpfixtures::FakeFtpServer gone("standard");
    client.Port = gone.Port();
  }
  bool disconnected = false;
  client.OnDisconnected = [&](TIdComponent&) { disconnected = true; };
  try {
    client.ConnectAndLogin();
    FAIL() << "connected";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.ErrorCode(), 10061);
  }
  EXPECT_TRUE(disconnected);
  EXPECT_EQ(client.Host, "127.0.0.1");
}

TEST(FtpCommands, FolderAndFileCommandsSendNamesAsGivenAndAcceptTheirCodes) {
  FakeSession session("cwd_200");
  session.client.ConnectAndLogin();
  session.client.CreateFolder("/bkp dir");
  session.client.EnterFolder("/bkp dir");
  session.client.DeleteRemoteFile("bkp08122026210728.rar");
  session.client.CreateFolder("");
  Lines expected = kLogin;
  expected.insert(expected.end(), {"MKD /bkp dir", "CWD /bkp dir", "DELE bkp08122026210728.rar", "MKD "});
  EXPECT_EQ(session.Commands(), expected);
}

TEST(FtpCommands, RefusedCommandsRaiseTheServerTextAndKeepTheConnection) {
  FakeSession session("refusing");
  session.client.ConnectAndLogin();
  const struct {
    void (TIdFTP::*command)(const std::string&);
    const char* message;
  } cases[] = {{&TIdFTP::CreateFolder, "File exists.\r\n"},
               {&TIdFTP::EnterFolder, "Failed to change directory.\r\n"},
               {&TIdFTP::DeleteRemoteFile, "Delete operation failed.\r\n"}};
  for (const auto& c : cases) {
    try {
      (session.client.*c.command)("x");
      ADD_FAILURE() << c.message;
    } catch (const EIdProtocolReplyError& error) {
      EXPECT_EQ(error.ReplyCode(), 550);
      EXPECT_EQ(std::string(error.what()), c.message);
    }
    EXPECT_TRUE(session.client.IsConnected());
  }
}

TEST(FtpCommands, TypeChangesAreSentAtOnceAndCloseSendsNothing) {
  FakeSession session("standard");
  session.client.ConnectAndLogin();
  session.client.SetTransferType(TIdFTPTransferType::ftASCII);
  session.client.SetTransferType(TIdFTPTransferType::ftASCII);
  session.client.SetTransferType(TIdFTPTransferType::ftBinary);
  session.client.EnterFolder("x");
  Lines expected = kLogin;
  expected.insert(expected.end(), {"TYPE A", "TYPE I", "CWD x"});
  EXPECT_EQ(session.Commands(), expected);
}

TEST(FtpCommands, AbortSendsAborWithoutReadingAReply) {
  FakeSession session("standard");
  session.client.ConnectAndLogin();
  session.client.AbortTransfer();
  Lines expected = kLogin;
  expected.push_back("ABOR");
  EXPECT_EQ(session.Commands(), expected);
}

}  // namespace
}  // namespace ftp

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "platform/Errors.h"
#include "tests/fixtures/ftp/FtpServers.h"

namespace ftp {
namespace {

using Lines = std::vector<std::string>;

const Lines kLogin = {"USER tester", "PASS s3cret", "TYPE I", "SYST"};

Lines After(Lines head, const Lines& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

struct FakeSession {
  FakeSession(const std::string& scenario, bool passive) : server(scenario) {
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.Username = "tester";
    client.Password = "s3cret";
    client.Passive = passive;
    client.ReadTimeout = 10000;
    client.ConnectAndLogin();
  }
  Lines Log() {
    client.CloseConnection();
    return server.Log();
  }
  Lines Commands() {
    client.CloseConnection();
    return server.Commands();
  }
  ftpfixtures::FakeFtpServer server;
  TIdFTP client;
};

std::string DataBytes(const Lines& log) {
  for (const std::string& line : log) {
    if (line.rfind("D ", 0) == 0) return line.substr(2);
  }
  return "none";
}

class FtpTransferModes : public ::testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(PassiveAndActive, FtpTransferModes, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

TEST_P(FtpTransferModes, ListingGivesEveryLineAndTheLastOneWithoutABreak) {
  FakeSession session("standard", GetParam());
  Lines destination{"old content"};
  session.client.ListFolder(&destination, "bkp*.rar", true);
  const Lines expected{"-rw-r--r--    1 1001     1001         1234 Dec 09 22:11 bkp08122026210728.rar",
                       "last line without break"};
  EXPECT_EQ(destination, expected);
  EXPECT_EQ(session.client.LastListing(), expected);
  EXPECT_EQ(session.client.DataConnection(), nullptr);
  const std::string announce = GetParam() ? "PASV" : "PORT 127,0,0,1,";
  const Lines commands = session.Commands();
  ASSERT_EQ(commands.size(), 6u);
  EXPECT_EQ(commands[4].substr(0, announce.size()), announce);
  EXPECT_EQ(commands[5], "LIST bkp*.rar");
}

TEST_P(FtpTransferModes, UploadSendsStorAfterTheAnnouncementAndEveryByte) {
  FakeSession session("standard", GetParam());
  std::string content(200000, 'x');
  TMemoryStream stream(content);
  std::int64_t maximum = -1;
  std::int64_t last = 0;
  TIdComponent* sender = nullptr;
  session.client.OnWorkBegin = [&](TIdComponent& from, TWorkMode mode, std::int64_t max) {
    EXPECT_EQ(mode, TWorkMode::wmWrite);
    maximum = max;
    sender = &from;
  };
  session.client.OnWork = [&](TIdComponent&, TWorkMode, std::int64_t count) {
    EXPECT_GT(count, last);
    last = count;
  };
  session.client.UploadStream(stream, "/bkp/bkp08122026210728.rar");
  EXPECT_EQ(maximum, 200000);
  EXPECT_EQ(last, 200000);
  EXPECT_NE(sender, &session.client);  // the data connection reports its own work
  const Lines log = session.Log();
  EXPECT_EQ(DataBytes(log), "200000");
  Lines commands;
  for (const std::string& line : log) {
    if (line.rfind("C ", 0) == 0) commands.push_back(line.substr(2));
  }
  ASSERT_EQ(commands.size(), 6u);
  EXPECT_EQ(commands[4].substr(0, 4), GetParam() ? "PASV" : "PORT");
  EXPECT_EQ(commands[5], "STOR /bkp/bkp08122026210728.rar");
}

TEST_P(FtpTransferModes, AnEmptyUploadSendsNoDataAndStillReadsTheFinalReply) {
  FakeSession session("standard", GetParam());
  TMemoryStream empty;
  std::int64_t maximum = -1;
  session.client.OnWorkBegin = [&](TIdComponent&, TWorkMode, std::int64_t max) { maximum = max; };
  session.client.UploadStream(empty, "empty.rar");
  EXPECT_EQ(maximum, 0);
  EXPECT_EQ(session.client.LastReply.NumericCode, 226);
  EXPECT_EQ(DataBytes(session.Log()), "0");
}

TEST_P(FtpTransferModes, UploadBrokenOffBy426FailsEvenWhen226Follows) {
  FakeSession session("stor_426_226", GetParam());
  TMemoryStream stream(std::string(1000, 'y'));
  try {
    session.client.UploadStream(stream, "a.rar");
    FAIL() << "upload taken for complete";
  } catch (const EIdProtocolReplyError& error) {
    EXPECT_EQ(error.ReplyCode(), 426);
    EXPECT_STREQ(error.what(), "Connection closed; transfer aborted.\r\n");
  }
}

TEST_P(FtpTransferModes, RefusedUploadsRaiseTheReplyAndFreeTheDataConnection) {
  const struct {
    const char* scenario;
    int code;
  } cases[] = {{"stor_553", 553}, {"stor_451", 451}};
  for (const auto& c : cases) {
    FakeSession session(c.scenario, GetParam());
    TMemoryStream stream(std::string(10, 'z'));
    try {
      session.client.UploadStream(stream, "a.rar");
      ADD_FAILURE() << c.scenario;
    } catch (const EIdProtocolReplyError& error) {
      EXPECT_EQ(error.ReplyCode(), c.code) << c.scenario;
    }
    EXPECT_EQ(session.client.DataConnection(), nullptr);
    EXPECT_TRUE(session.client.IsConnected());
  }
}

TEST_P(FtpTransferModes, AListingBrokenOffIsAcceptedOnlyWhenTheNextReplyIs226) {
  FakeSession aborted("list_426_226", GetParam());
  Lines statuses;
  aborted.client.OnStatus = [&](TIdComponent&, TIdStatus, const std::string& text) {
    statuses.push_back(text);
  };
  aborted.client.ListFolder(nullptr, "", true);
  EXPECT_EQ(aborted.client.LastListing(), Lines{"one"});
  EXPECT_EQ(statuses, (Lines{"Starting FTP transfer", "Transfer complete", "Transfer aborted"}));
  EXPECT_EQ(aborted.Commands().back(), "LIST");

  FakeSession failed("list_426_451", GetParam());
  try {
    failed.client.ListFolder(nullptr, "*", true);
    FAIL() << "listing accepted";
  } catch (const EIdProtocolReplyError& error) {
    EXPECT_EQ(error.ReplyCode(), 451);
  }
}

TEST(FtpUploadFile, AMissingLocalFileFailsBeforeAnyCommand) {
  FakeSession session("standard", true);
  const std::string missing = "/nonexistent-torvi-folder/bkp.rar";
  try {
    session.client.UploadFile(missing, "bkp.rar");
    FAIL() << "uploaded";
  } catch (const platform::EFOpenError& error) {
    EXPECT_STREQ(error.what(),
                 "Cannot open file \"/nonexistent-torvi-folder/bkp.rar\". No such file or directory");
  }
  EXPECT_EQ(session.Commands(), kLogin);
}

TEST(FtpPassive, ReplyAddressFormsAndFaults) {
  // Without parentheses the address follows the last blank.
  FakeSession bare("pasv_without_parentheses", true);
  bare.client.ListFolder(nullptr, "", true);
  EXPECT_EQ(bare.client.LastListing().size(), 2u);

  FakeSession notNumeric("pasv_not_numeric", true);
  try {
    notNumeric.client.ListFolder(nullptr, "", true);
    FAIL() << "listed";
  } catch (const platform::EConvertError& error) {
    EXPECT_STREQ(error.what(), "'x7' is not a valid integer value");
  }
  EXPECT_EQ(notNumeric.Commands(), After(kLogin, {"PASV"}));

  FakeSession refused("pasv_refused", true);
  EXPECT_THROW(refused.client.ListFolder(nullptr, "", true), EIdProtocolReplyError);
  EXPECT_EQ(refused.Commands(), After(kLogin, {"PASV"}));
}

// The data connection goes to the server of the control connection, whatever host the reply names.
TEST(FtpPassive, TheReplyCannotSendTheDataConnectionToAnotherHost) {
  FakeSession namesOther("pasv_names_other_host", true);
  TMemoryStream stream(std::string(5000, 'q'));
  namesOther.client.UploadStream(stream, "a.rar");
  EXPECT_EQ(DataBytes(namesOther.Log()), "5000");

  FakeSession listensOnOther("pasv_data_on_other_host", true);
  try {
    listensOnOther.client.ListFolder(nullptr, "", true);
    FAIL() << "connected to 127.0.0.2";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.ErrorCode(), 10061);
  }
}

}  // namespace
}  // namespace ftp

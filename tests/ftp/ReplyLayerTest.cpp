#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/Exceptions.h"
#include "ftp/TCPClient.h"
#include "tests/ftp/LoopbackPeer.h"

namespace ftp {
namespace {

// A client connected to a peer that sends `bytes` and then closes (or, with holdOpen, stays silent).
struct Connected {
  explicit Connected(const std::string& bytes, bool holdOpen = false) : peer(bytes, holdOpen) {
    client.Host = "127.0.0.1";
    client.Port = peer.Port();
    client.OpenConnection();
  }
  ftptests::LoopbackPeer peer;
  TIdTCPClient client;
};

TEST(ReadReply, ParsesSingleAndMultiLineReplies) {
  const struct {
    const char* bytes;
    int code;
    const char* textCode;
    std::vector<std::string> text;
  } cases[] = {
      {"230-Welcome\r\n230-Files here\r\n230 Done\r\n", 230, "230", {"Welcome", "Files here", "Done"}},
      {"226-Listing\r\n226\r\n", 226, "226", {"Listing", ""}},
      {"150-first\r\ncontinuation\r\n150 last\r\n", 150, "150", {"first", "inuation", "last"}},
      {"abc Something\r\n", 0, "abc", {"Something"}},
      {"\r\n   \r\n  220 after blank lines\r\n", 220, "220", {"after blank lines"}},
      {"220 bare LF\n", 220, "220", {"bare LF"}},
      {"211-Features:\r\n MDTM\r\n211 End\r\n", 211, "211", {"Features:", "", "End"}},
  };
  for (const auto& c : cases) {
    Connected connection(c.bytes);
    connection.client.ReadReply();
    const TIdRFCReply& reply = connection.client.LastReply;
    EXPECT_EQ(reply.NumericCode, c.code) << c.bytes;
    EXPECT_EQ(reply.TextCode, c.textCode) << c.bytes;
    EXPECT_EQ(reply.Text, c.text) << c.bytes;
  }
}

TEST(ReadReply, TwoRepliesInOneReceiveAreReadOneByOne) {
  Connected connection("331 Password.\r\n230 Logged in.\r\n");
  EXPECT_EQ(connection.client.AwaitReply({331}), 331);
  EXPECT_EQ(connection.client.AwaitReply({230}), 230);
}

TEST(AwaitReply, AnUnacceptedCodeRaisesWithTheReplyTextAndCode) {
  Connected connection("550-No such file.\r\n550 Really.\r\n");
  try {
    connection.client.AwaitReply({250, 257});
    FAIL() << "accepted";
  } catch (const EIdProtocolReplyError& error) {
    EXPECT_EQ(error.ReplyCode(), 550);
    EXPECT_STREQ(error.what(), "No such file.\r\nReally.\r\n");
  }
  EXPECT_EQ(connection.client.LastReply.NumericCode, 550);
}

TEST(SendCommand, MinusOneAcceptsAnyCode) {
  Connected connection("599 Whatever.\r\n", true);
  EXPECT_EQ(connection.client.SendCommand("NOOP", -1), 599);
  connection.client.CloseConnection();
  EXPECT_EQ(connection.peer.Received(), "NOOP\r\n");
}

TEST(ReadLine, LengthLimitCountsEveryByteBeforeTheLineFeed) {
  const std::string a16383(16383, 'a');
  const std::string a16384(16384, 'a');
  const struct {
    std::string bytes;
    bool accepted;
    std::size_t length;
  } cases[] = {
      {a16383 + "\r\n", true, 16383},
      {a16384 + "\r\n", false, 0},
      {a16384 + "\n", true, 16384},
      {a16384 + "a\n", false, 0},
  };
  for (const auto& c : cases) {
    Connected connection(c.bytes);
    if (c.accepted) {
      EXPECT_EQ(connection.client.ReadLine().size(), c.length) << c.bytes.size();
    } else {
      EXPECT_THROW(connection.client.ReadLine(), EIdReadLnMaxLineLengthExceeded) << c.bytes.size();
    }
  }
}

TEST(ReadLine, SplitModeReturnsTheFirstMaximumBytesAndKeepsTheRest) {
  Connected connection(std::string(16390, 'b') + "\r\nnext\r\n");
  connection.client.MaxLineAction = TIdMaxLineAction::maSplit;
  EXPECT_EQ(connection.client.ReadLine(), std::string(16384, 'b'));
  EXPECT_TRUE(connection.client.LineWasSplit);
  EXPECT_EQ(connection.client.ReadLine(), std::string(6, 'b'));
  EXPECT_EQ(connection.client.ReadLine(), "next");
}

TEST(ReadLine, ManyShortLinesAcrossTheCompactionPoint) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  Connected connection(bytes);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(connection.client.ReadLine(), "line " + std::to_string(i));
  EXPECT_THROW(connection.client.ReadLine(), EIdConnClosedGracefully);
}

TEST(PeerClose, MidLineOrMidReplyEndsInConnectionClosedGracefully) {
  for (const char* bytes : {"220 no line end", "331-first\r\n331-second\r\n", ""}) {
    Connected connection(bytes);
    bool disconnected = false;
    connection.client.OnDisconnected = [&](TIdComponent&) { disconnected = true; };
    EXPECT_THROW(connection.client.ReadReply(), EIdConnClosedGracefully) << bytes;
    EXPECT_TRUE(disconnected) << bytes;
    EXPECT_FALSE(connection.client.IsConnected()) << bytes;
  }
}

TEST(ReadTimeout, ASilentPeerRaisesReadTimeout) {
  Connected connection("", true);
  connection.client.ReadTimeout = 200;
  EXPECT_THROW(connection.client.ReadReply(), EIdReadTimeout);
  EXPECT_TRUE(connection.client.IsConnected());
}

TEST(ReceiveStream, UntilCloseKeepsWhatCameBeforeTheClose) {
  Connected connection("0123456789");
  TMemoryStream stream;
  std::vector<std::int64_t> totals;
  connection.client.OnWork = [&](TIdComponent&, TWorkMode, std::int64_t count) { totals.push_back(count); };
  connection.client.ReceiveStream(stream, -1, true);
  EXPECT_EQ(stream.Bytes(), "0123456789");
  ASSERT_FALSE(totals.empty());
  EXPECT_EQ(totals.back(), 10);
}

TEST(ReceiveStream, AKnownCountStopsThereAndACloseBeforeItRaises) {
  Connected enough("abcdefXYZ");
  TMemoryStream six;
  enough.client.ReceiveStream(six, 6, false);
  EXPECT_EQ(six.Bytes(), "abcdef");
  EXPECT_EQ(enough.client.ReadLine(), "");  // "XYZ" then the close: no line end
  Connected shortOfIt("abc");
  TMemoryStream stream;
  EXPECT_THROW(shortOfIt.client.ReceiveStream(stream, 6, false), EIdConnClosedGracefully);
}

TEST(CloseConnection, OnANeverConnectedClientCallsOnDisconnectedAndRaisesNothing) {
  TIdTCPClient client;
  int disconnects = 0;
  client.OnDisconnected = [&](TIdComponent&) { ++disconnects; };
  EXPECT_NO_THROW(client.CloseConnection());
  EXPECT_EQ(disconnects, 1);
  EXPECT_THROW(client.ReadLine(), EIdNotConnected);
  EXPECT_THROW(client.WriteLine("NOOP"), EIdNotConnected);
}

TEST(CloseConnection, AfterCloseEveryReadAndWriteRaisesNotConnected) {
  Connected connection("220 hi\r\n", true);
  connection.client.CloseConnection();
  EXPECT_THROW(connection.client.ReadReply(), EIdNotConnected);
  EXPECT_THROW(connection.client.WriteLine("NOOP"), EIdNotConnected);
}

TEST(SendStream, ReportsTheSizeAndRunningTotalsAndSendsEveryByte) {
  Connected connection("", true);
  std::string content(100000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  TMemoryStream stream(content);
  std::int64_t maximum = -1;
  std::vector<std::int64_t> totals;
  connection.client.OnWorkBegin = [&](TIdComponent&, TWorkMode, std::int64_t max) { maximum = max; };
  connection.client.OnWork = [&](TIdComponent&, TWorkMode, std::int64_t count) { totals.push_back(count); };
  connection.client.SendStream(stream, true, 0, false);
  connection.client.CloseConnection();
  EXPECT_EQ(maximum, 100000);
  ASSERT_FALSE(totals.empty());
  EXPECT_TRUE(std::is_sorted(totals.begin(), totals.end()));
  EXPECT_EQ(totals.back(), 100000);
  EXPECT_EQ(connection.peer.Received(), content);
}

}  // namespace
}  // namespace ftp

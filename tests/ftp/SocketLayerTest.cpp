#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/Exceptions.h"
#include "ftp/Stack.h"
#include "ftp/TCPClient.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/ftp/LoopbackPeer.h"

namespace ftp {
namespace {

TEST(SocketErrorText, FillsTheFormatWithTheCodeAndItsDescription) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {10061, "Socket Error # 10061\r\nConnection refused."},
      {11001, "Socket Error # 11001\r\nHost not found."},
      {10035, "Socket Error # 10035\r\nOperation would block. "},
      {10066, "Socket Error # 10066\r\nDirectory not empty"},
      {10093, "Socket Error # 10093\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(TIdStack::SocketErrorText(c.code), c.text) << c.code;
}

TEST(IPv4Text, AcceptsFourNumbersUpTo255) {
  const struct {
    const char* text;
    bool ipv4;
  } cases[] = {{"10.0.0.1", true}, {"255.255.255.255", true}, {"192.168.0.300", false}, {"10.0.0", false},
               {"10.0.0.", false}, {"10..0.1", false},        {"10.0.0.1.5", false},    {"localhost", false},
               {"", false},        {"-1.0.0.1", false},       {"1.2.3.4 ", false}};
  for (const auto& c : cases) EXPECT_EQ(TIdStack::IsIPv4Text(c.text), c.ipv4) << c.text;
}

TEST(Connect, LocalhostInAnyCaseIsNotLookedUpButStillReportsResolving) {
  ftptests::LoopbackPeer peer("", true);
  TIdTCPClient client;
  std::vector<std::string> statuses;
  client.OnStatus = [&](TIdComponent&, TIdStatus, const std::string& text) { statuses.push_back(text); };
  client.Host = "LocalHost";
  client.Port = peer.Port();
  client.OpenConnection();
  auto* handler = static_cast<TIdIOHandlerSocket*>(client.IOHandler());
  EXPECT_EQ(handler->SocketHandle()->RemoteIP, "127.0.0.1");
  EXPECT_EQ(handler->SocketHandle()->RemotePort, peer.Port());
  client.CloseConnection();
  EXPECT_EQ(statuses, (std::vector<std::string>{"Resolving hostname LocalHost.", "Connecting to 127.0.0.1.",
                                                "Connected.", "Disconnecting.", "Disconnected."}));
}

TEST(Connect, RefusedConnectionRaisesSocketError10061AndLeavesTheClientClosed) {
  TIdTCPClient client;
  client.Host = "127.0.0.1";
  client.Port = ftpfixtures::ClosedPort();
  try {
    client.OpenConnection();
    FAIL() << "connected";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.ErrorCode(), 10061);
    EXPECT_STREQ(error.what(), "Socket Error # 10061\r\nConnection refused.");
  }
  EXPECT_FALSE(client.IsConnected());
  // The client can be used again.
  ftptests::LoopbackPeer peer("", true);
  client.Port = peer.Port();
  EXPECT_NO_THROW(client.OpenConnection());
  EXPECT_THROW(client.OpenConnection(), EIdAlreadyConnected);
}

TEST(WorkEvents, ReportRunningTotalsAndIgnoreNestedStarts) {
  TIdTCPClient component;
  std::vector<std::string> events;
  component.OnWorkBegin = [&](TIdComponent&, TWorkMode, std::int64_t maximum) {
    events.push_back("begin " + std::to_string(maximum));
  };
  component.OnWork = [&](TIdComponent&, TWorkMode, std::int64_t count) {
    events.push_back("work " + std::to_string(count));
  };
  component.OnWorkEnd = [&](TIdComponent&, TWorkMode) { events.push_back("end"); };
  component.StartWork(TWorkMode::wmWrite, 150);
  component.AddWork(TWorkMode::wmWrite, 100);
  component.StartWork(TWorkMode::wmWrite, 999);
  component.AddWork(TWorkMode::wmWrite, 50);
  component.AddWork(TWorkMode::wmRead, 7);  // not started: ignored
  component.FinishWork(TWorkMode::wmWrite);
  component.FinishWork(TWorkMode::wmWrite);
  EXPECT_EQ(events, (std::vector<std::string>{"begin 150", "work 100", "work 150", "end"}));
}

// Counts the calls that end a socket, passing every call on to the platform.
struct CountingCalls {
  static inline int shutdowns = 0;
  static inline int closes = 0;
  static platform::SocketCalls Table() {
    platform::SocketCalls calls = platform::PlatformSockets();
    calls.shutdownSend = [](platform::SocketId socket) {
      ++shutdowns;
      return platform::PlatformSockets().shutdownSend(socket);
    };
    calls.close = [](platform::SocketId socket) {
      ++closes;
      return platform::PlatformSockets().close(socket);
    };
    return calls;
  }
};

TEST(SocketHandle, ReleasingTwiceShutsDownAndClosesOnce) {
  static const platform::SocketCalls counting = CountingCalls::Table();
  TIdStack::UseSocketCalls(&counting);
  {
    TIdTCPClient owner;  // keeps the stack, now over the counting table, alive
    TIdSocketHandle handle;
    handle.OpenHandle();
    handle.ReleaseHandle();
    handle.ReleaseHandle();
    EXPECT_EQ(handle.SocketId, platform::kNoSocket);
  }
  TIdStack::UseSocketCalls(nullptr);
  EXPECT_EQ(CountingCalls::shutdowns, 1);
  EXPECT_EQ(CountingCalls::closes, 1);
}

TEST(Stack, ALibraryThatRefusesToStartRaisesInitializationError) {
  static platform::SocketCalls refusing = [] {
    platform::SocketCalls calls = platform::PlatformSockets();
    calls.startup = [] { return -1; };
    return calls;
  }();
  TIdStack::UseSocketCalls(&refusing);
  try {
    TIdTCPClient client;
    ADD_FAILURE() << "created";
  } catch (const EIdStackInitializationFailed& error) {
    EXPECT_STREQ(error.what(), "Winsock Initialization Error.");
  }
  TIdStack::UseSocketCalls(nullptr);
  EXPECT_NO_THROW(TIdTCPClient());
}

TEST(Stack, AMissingLibraryRaisesTheStubError) {
  static platform::SocketCalls missing = [] {
    platform::SocketCalls calls = platform::PlatformSockets();
    calls.open = []() -> platform::SocketId {
      throw platform::SocketLibraryError(
          platform::SocketLibraryError::Kind::Call, "socket", 10093,
          "Either the application has not called WSAStartup, or WSAStartup failed.");
    };
    return calls;
  }();
  TIdStack::UseSocketCalls(&missing);
  {
    TIdTCPClient client;
    client.Host = "127.0.0.1";
    client.Port = 1;
    try {
      client.OpenConnection();
      ADD_FAILURE() << "connected";
    } catch (const EIdWS2StubError& error) {
      EXPECT_STREQ(error.what(),
                   "Error on call Winsock2 library function socket: Either the application has not called "
                   "WSAStartup, or WSAStartup failed.");
      EXPECT_EQ(error.ErrorCode(), 10093);
    }
  }
  TIdStack::UseSocketCalls(nullptr);
}

}  // namespace
}  // namespace ftp

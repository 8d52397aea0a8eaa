#include <gtest/gtest.h>

#include "ftp/Exceptions.h"
#include "ftp/TCPClient.h"
#include "platform/Sockets.h"

namespace {

// A loopback port that nothing listens on: bound once to learn a free one, then closed.
int FreedPort() {
  const platform::SocketCalls& calls = platform::PlatformSockets();
  calls.startup();
  const platform::SocketId socket = calls.open();
  platform::SocketEndpoint endpoint{{127, 0, 0, 1}, 0};
  calls.bind(socket, endpoint);
  calls.localEndpoint(socket, endpoint);
  calls.close(socket);
  calls.cleanup();
  return endpoint.port;
}

struct Refusal {
  std::string host;
  int port;
  int code;
  std::string message;
};

TEST(WinFtpConnect, FailedConnectsCarryTheWindowsSocketsNumberAndText) {
  const int port = FreedPort();
  const Refusal cases[] = {
      {"127.0.0.1", port, 10061, "Socket Error # 10061\r\nConnection refused."},
      {"LocalHost", port, 10061, "Socket Error # 10061\r\nConnection refused."},
      {"no-such-host.invalid", 21, 11001, "Socket Error # 11001\r\nHost not found."},
  };
  for (const Refusal& c : cases) {
    ftp::TIdTCPClient client;
    client.Host = c.host;
    client.Port = c.port;
    try {
      client.OpenConnection();
      ADD_FAILURE() << c.host << " connected";
    } catch (const ftp::EIdSocketError& error) {
      EXPECT_EQ(error.ErrorCode(), c.code) << c.host;
      EXPECT_EQ(error.Message(), c.message) << c.host;
    }
  }
}

}  // namespace

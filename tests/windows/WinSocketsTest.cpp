#include <gtest/gtest.h>

#include <string>

#include "platform/Sockets.h"

namespace {

using platform::kNoSocket;
using platform::SocketEndpoint;
using platform::SocketId;

constexpr std::array<std::uint8_t, 4> kLoopback{127, 0, 0, 1};

class WinSockets : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(calls.startup(), 0); }
  void TearDown() override {
    for (SocketId socket : opened) calls.close(socket);
    calls.cleanup();
  }

  SocketId Open() {
    const SocketId socket = calls.open();
    if (socket != kNoSocket) opened.push_back(socket);
    return socket;
  }

  // A listening socket on an ephemeral loopback port; its endpoint in `endpoint`.
  SocketId Listener(SocketEndpoint& endpoint) {
    const SocketId listening = Open();
    EXPECT_NE(listening, kNoSocket);
    EXPECT_EQ(calls.bind(listening, SocketEndpoint{kLoopback, 0}), 0);
    EXPECT_EQ(calls.listen(listening, 1), 0);
    EXPECT_EQ(calls.localEndpoint(listening, endpoint), 0);
    return listening;
  }

  const platform::SocketCalls& calls = platform::PlatformSockets();
  std::vector<SocketId> opened;
};

TEST_F(WinSockets, ConnectsAcceptsAndCarriesBytesBothWays) {
  SocketEndpoint server;
  const SocketId listening = Listener(server);
  ASSERT_NE(server.port, 0);
  EXPECT_EQ(server.address, kLoopback);

  const SocketId client = Open();
  ASSERT_EQ(calls.setNoDelay(client, true), 0);
  ASSERT_EQ(calls.connect(client, server), 0);
  const SocketId accepted = calls.accept(listening);
  ASSERT_NE(accepted, kNoSocket);
  opened.push_back(accepted);

  SocketEndpoint clientLocal, acceptedPeer;
  ASSERT_EQ(calls.localEndpoint(client, clientLocal), 0);
  ASSERT_EQ(calls.peerEndpoint(accepted, acceptedPeer), 0);
  EXPECT_EQ(acceptedPeer.address, clientLocal.address);
  EXPECT_EQ(acceptedPeer.port, clientLocal.port) << "ports cross the byte-order boundary both ways";

  const std::string greeting = "220 ready\r\n";
  ASSERT_EQ(calls.send(accepted, greeting.data(), static_cast<int>(greeting.size())),
            static_cast<int>(greeting.size()));
  std::vector<SocketId> readable{listening, client};
  ASSERT_EQ(calls.select(&readable, nullptr, nullptr, 5000), 1);
  EXPECT_EQ(readable, std::vector<SocketId>{client});
  char buffer[64];
  const int received = calls.receive(client, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(received > 0 ? received : 0)), greeting);

  ASSERT_EQ(calls.shutdownSend(client), 0);
  EXPECT_EQ(calls.receive(accepted, buffer, sizeof buffer), 0) << "an orderly close reads as 0 bytes";
}

TEST_F(WinSockets, AnIdleSocketTimesOutEmptyAndAnUnlimitedWaitIsNotATimeout) {
  SocketEndpoint server;
  const SocketId listening = Listener(server);
  std::vector<SocketId> readable{listening};
  EXPECT_EQ(calls.select(&readable, nullptr, nullptr, 150), 0);
  EXPECT_TRUE(readable.empty());

  const SocketId client = Open();
  ASSERT_EQ(calls.connect(client, server), 0);
  readable = {listening};
  EXPECT_EQ(calls.select(&readable, nullptr, nullptr, -1), 1) << "a pending connection makes it readable";
}

TEST_F(WinSockets, FailuresGiveTheWindowsSocketsNumbers) {
  SocketEndpoint freed;
  const SocketId listening = Listener(freed);
  calls.close(listening);
  opened.clear();

  const SocketId client = Open();
  EXPECT_EQ(calls.connect(client, freed), -1);
  EXPECT_EQ(calls.lastError(), 10061) << "connection refused";

  EXPECT_EQ(calls.receive(static_cast<SocketId>(12345), nullptr, 0), -1);
  EXPECT_EQ(calls.lastError(), platform::kSocketNotASocket);

  SocketEndpoint taken;
  Listener(taken);
  const SocketId second = Open();
  EXPECT_EQ(calls.bind(second, taken), -1);
  EXPECT_EQ(calls.lastError(), platform::kSocketAddressInUse);
}

TEST_F(WinSockets, ResolvesLocalhost) {
  std::array<std::uint8_t, 4> address{};
  ASSERT_EQ(calls.resolve("localhost", address), 0);
  EXPECT_EQ(address, kLoopback);
}

}  // namespace

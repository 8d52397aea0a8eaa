#include "ftp/SocketHandle.h"

#include "ftp/Component.h"
#include "ftp/Exceptions.h"
#include "ftp/Stack.h"

namespace ftp {
namespace {

platform::SocketEndpoint Endpoint(const std::string& ip, int port) {
  platform::SocketEndpoint endpoint;
  if (!ip.empty()) endpoint.address = TIdStack::DottedToAddress(ip);
  endpoint.port = static_cast<std::uint16_t>(port);
  return endpoint;
}

}  // namespace

TIdSocketHandle::~TIdSocketHandle() { ReleaseHandle(); }

void TIdSocketHandle::OpenHandle() {
  ReleaseHandle();
  SocketId = TIdStack::Instance().NewSocket();
  IsAllocated = true;
  sendTimeout_ = 0;
}

bool TIdSocketHandle::TryBind(int port) {
  TIdStack& stack = TIdStack::Instance();
  return stack.Invoke(&platform::SocketCalls::bind, SocketId, Endpoint(IP, port)) == 0;
}

void TIdSocketHandle::BindLocal() {
  TIdStack& stack = TIdStack::Instance();
  if (Port != 0 || ClientPortMin == 0 || ClientPortMax == 0) {
    if (!TryBind(Port)) {
      stack.CheckSocketResult(-1, {platform::kSocketAddressInUse});
      throw EIdCouldNotBindSocket();
    }
  } else {
    if (ClientPortMax < ClientPortMin) throw EIdInvalidPortRange(ClientPortMin, ClientPortMax);
    int port = ClientPortMax;
    while (port >= ClientPortMin && !TryBind(port)) --port;
    if (port < ClientPortMin) throw EIdCanNotBindPortInRange(ClientPortMin, ClientPortMax);
  }
  RefreshLocal();
}

int TIdSocketHandle::ConnectPeer() {
  TIdStack& stack = TIdStack::Instance();
  const int result = stack.Invoke(&platform::SocketCalls::connect, SocketId, Endpoint(RemoteIP, RemotePort));
  if (result == 0) {
    RefreshLocal();
    RefreshRemote();
  }
  return result;
}

void TIdSocketHandle::StartListen(int backlog) {
  TIdStack& stack = TIdStack::Instance();
  stack.CheckSocketResult(stack.Invoke(&platform::SocketCalls::listen, SocketId, backlog), {});
}

bool TIdSocketHandle::AcceptFrom(platform::SocketId listening) {
  SocketId = platform::kNoSocket;
  IsAllocated = false;
  ClearAddresses();
  TIdStack& stack = TIdStack::Instance();
  const platform::SocketId accepted = stack.Invoke(&platform::SocketCalls::accept, listening);
  if (accepted == platform::kNoSocket) {
    if (stack.CheckSocketResult(-1, {platform::kSocketInterrupted, platform::kSocketNotASocket}))
      return false;
  }
  SocketId = accepted;
  IsAllocated = true;
  sendTimeout_ = 0;
  RefreshLocal();
  RefreshRemote();
  return true;
}

bool TIdSocketHandle::WaitReadable(int timeout) {
  if (!IsAllocated) throw EIdConnClosedGracefully();
  std::vector<platform::SocketId> readSet{SocketId};
  return TIdStack::Instance().WaitForSockets(&readSet, nullptr, nullptr, timeout) == 1;
}

int TIdSocketHandle::ReceiveInto(void* buffer, int length) {
  return TIdStack::Instance().Invoke(&platform::SocketCalls::receive, SocketId, buffer, length);
}

int TIdSocketHandle::SendFrom(const void* buffer, int length) {
  return TIdStack::Instance().Invoke(&platform::SocketCalls::send, SocketId, buffer, length);
}

void TIdSocketHandle::SetSendTimeout(int milliseconds) {
  if (milliseconds == sendTimeout_) return;
  TIdStack& stack = TIdStack::Instance();
  stack.CheckSocketResult(stack.Invoke(&platform::SocketCalls::setSendTimeout, SocketId, milliseconds), {});
  sendTimeout_ = milliseconds;
}

void TIdSocketHandle::ReleaseHandle() {
  if (!IsAllocated) return;
  IsAllocated = false;
  const platform::SocketCalls& calls = TIdStack::Instance().Calls();
  calls.shutdownSend(SocketId);
  calls.close(SocketId);
  SocketId = platform::kNoSocket;
}

void TIdSocketHandle::ClearAddresses() {
  IP.clear();
  Port = 0;
  RemoteIP.clear();
  RemotePort = 0;
}

void TIdSocketHandle::RefreshLocal() {
  TIdStack& stack = TIdStack::Instance();
  platform::SocketEndpoint local;
  stack.CheckSocketResult(stack.Invoke(&platform::SocketCalls::localEndpoint, SocketId, local), {});
  IP = TIdStack::AddressToDotted(local.address);
  Port = local.port;
}

void TIdSocketHandle::RefreshRemote() {
  TIdStack& stack = TIdStack::Instance();
  platform::SocketEndpoint remote;
  stack.CheckSocketResult(stack.Invoke(&platform::SocketCalls::peerEndpoint, SocketId, remote), {});
  RemoteIP = TIdStack::AddressToDotted(remote.address);
  RemotePort = remote.port;
}

}  // namespace ftp

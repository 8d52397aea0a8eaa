#pragma once

#include <string>

#include "platform/Sockets.h"

namespace ftp {

// One TCP socket with its local and remote address.
class TIdSocketHandle {
 public:
  TIdSocketHandle() = default;
  ~TIdSocketHandle();
  TIdSocketHandle(const TIdSocketHandle&) = delete;
  TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

  platform::SocketId SocketId = platform::kNoSocket;
  bool IsAllocated = false;
  std::string IP;  // local address: wanted before bind, actual after; empty means any
  int Port = 0;
  std::string RemoteIP;
  int RemotePort = 0;
  int ClientPortMin = 0;
  int ClientPortMax = 0;

  void OpenHandle();
  void BindLocal();
  // The platform's result, unchecked.
  int ConnectPeer();
  void StartListen(int backlog);
  // False when the listening socket was closed under the accept (10004, 10038).
  bool AcceptFrom(platform::SocketId listening);
  bool WaitReadable(int timeout);
  int ReceiveInto(void* buffer, int length);
  int SendFrom(const void* buffer, int length);
  // Bounds later sends to `milliseconds` (0: no bound); asks the platform only when the bound changes.
  void SetSendTimeout(int milliseconds);
  void ReleaseHandle();
  void ClearAddresses();

 private:
  bool TryBind(int port);
  void RefreshLocal();
  void RefreshRemote();

  int sendTimeout_ = 0;
};

}  // namespace ftp

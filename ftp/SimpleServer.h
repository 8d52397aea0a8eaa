#pragma once

#include <string>

#include "ftp/TCPConnection.h"

namespace ftp {

// A connection that gets its socket by accepting one incoming connection: the active-mode data connection.
class TIdSimpleServer : public TIdTCPConnection {
 public:
  ~TIdSimpleServer() override;

  std::string BoundIP;
  int BoundPort = 0;  // 0: any

  platform::SocketId ListenSocket() const { return listenSocket_; }
  bool IsListening() const { return isListening_; }
  // The listening socket's address and port, as announced to the peer.
  TIdSocketHandle& Binding() const;

  void StartListening();
  // Waits until a peer connects (at most ReadTimeout; no limit when it is 0) and accepts it; false when
  // none came or an abort was requested. The listening socket is closed either way.
  bool AcceptPeer();
  void RequestAbort() { abortRequested_ = true; }

 private:
  void CloseListenSocket();

  platform::SocketId listenSocket_ = platform::kNoSocket;
  bool isListening_ = false;
  bool abortRequested_ = false;
};

}  // namespace ftp

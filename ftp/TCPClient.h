#pragma once

#include <string>

#include "ftp/TCPConnection.h"

namespace ftp {

class TIdTCPClient : public TIdTCPConnection {
 public:
  std::string Host;
  int Port = 0;
  std::string BoundIP;
  int BoundPort = 0;
  int BoundPortLow = 0;
  int BoundPortHigh = 0;
  TNotifyEvent OnConnected;

  // Raises EIdAlreadyConnected when the socket is open; any failure leaves the socket closed.
  void OpenConnection(int timeout = WaitDefault);
};

}  // namespace ftp

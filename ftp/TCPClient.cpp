#include "ftp/TCPClient.h"

#include "ftp/Exceptions.h"

namespace ftp {

void TIdTCPClient::OpenConnection(int timeout) {
  if (IOHandler() == nullptr) {
    auto handler = std::make_unique<TIdIOHandlerSocket>();
    handler->OnStatus = OnStatus;
    AdoptHandler(std::move(handler));
  } else if (IOHandler()->IsOpen()) {
    throw EIdAlreadyConnected();
  }
  try {
    IOHandler()->OpenHandler();
    ResetInput();
    IOHandler()->ConnectToServer(Host, Port, timeout, BoundIP, BoundPort, BoundPortLow, BoundPortHigh);
    ReportStatus(TIdStatus::hsConnected, Host);
    if (OnConnected) OnConnected(*this);
  } catch (...) {
    CloseSocketOnly();
    throw;
  }
}

}  // namespace ftp

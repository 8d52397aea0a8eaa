#include "ftp/Exceptions.h"
#include "ftp/IOHandler.h"
#include "ftp/Stack.h"

namespace ftp {

int TIdIOHandler::LastError() const { return TIdStack::Instance().Invoke(&platform::SocketCalls::lastError); }

void TIdIOHandlerSocket::OpenHandler() {
  if (!socketHandle_) {
    socketHandle_ = std::make_unique<TIdSocketHandle>();
    return;
  }
  socketHandle_->ReleaseHandle();
  socketHandle_->ClearAddresses();
}

bool TIdIOHandlerSocket::IsOpen() const { return socketHandle_ && socketHandle_->IsAllocated; }

void TIdIOHandlerSocket::ConnectToServer(const std::string& host, int port, int /*timeout*/,
                                         const std::string& boundIP, int boundPort, int boundPortMin,
                                         int boundPortMax) {
  TIdStack& stack = TIdStack::Instance();
  TIdSocketHandle& handle = *socketHandle_;
  handle.OpenHandle();
  handle.IP = boundIP;
  handle.Port = boundPort;
  handle.ClientPortMin = boundPortMin;
  handle.ClientPortMax = boundPortMax;
  handle.BindLocal();
  if (!TIdStack::IsIPv4Text(host)) ReportStatus(TIdStatus::hsResolving, host);
  handle.RemoteIP = stack.ResolveAddress(host);
  handle.RemotePort = port;
  if (!UseNagle) {
    stack.CheckSocketResult(stack.Invoke(&platform::SocketCalls::setNoDelay, handle.SocketId, true), {});
  }
  ReportStatus(TIdStatus::hsConnecting, handle.RemoteIP);
  stack.CheckSocketResult(handle.ConnectPeer(), {});
}

bool TIdIOHandlerSocket::WaitReadable(int timeout) {
  if (!socketHandle_) throw EIdConnClosedGracefully();
  return socketHandle_->WaitReadable(timeout);
}

int TIdIOHandlerSocket::ReceiveBytes(void* buffer, int length) {
  if (!IsOpen()) throw EIdClosedSocket();
  return socketHandle_->ReceiveInto(buffer, length);
}

int TIdIOHandlerSocket::SendBytes(const void* buffer, int length) {
  if (!IsOpen()) throw EIdClosedSocket();
  return socketHandle_->SendFrom(buffer, length);
}

void TIdIOHandlerSocket::LimitSendWait(int milliseconds) {
  if (IsOpen()) socketHandle_->SetSendTimeout(milliseconds);
}

void TIdIOHandlerSocket::CloseHandler() {
  if (socketHandle_) socketHandle_->ReleaseHandle();
}

}  // namespace ftp

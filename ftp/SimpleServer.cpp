#include "ftp/SimpleServer.h"

#include "ftp/Stack.h"

namespace ftp {

TIdSimpleServer::~TIdSimpleServer() { CloseListenSocket(); }

TIdSocketHandle& TIdSimpleServer::Binding() const {
  return *static_cast<TIdIOHandlerSocket*>(IOHandler())->SocketHandle();
}

void TIdSimpleServer::StartListening() {
  if (IOHandler() == nullptr) {
    ResetInput();
    abortRequested_ = false;
    isListening_ = false;
    AdoptHandler(std::make_unique<TIdIOHandlerSocket>());
    IOHandler()->OpenHandler();
  }
  try {
    TIdSocketHandle& handle = Binding();
    if (listenSocket_ == platform::kNoSocket) {
      handle.OpenHandle();
      listenSocket_ = handle.SocketId;
      handle.IP = BoundIP;
      handle.Port = BoundPort;
      handle.BindLocal();
    }
    constexpr int kBacklog = 15;
    handle.StartListen(kBacklog);
    isListening_ = true;
  } catch (...) {
    // The handle still holds the listening socket: freeing the handler closes it.
    listenSocket_ = platform::kNoSocket;
    CloseConnection();
    throw;
  }
}

bool TIdSimpleServer::AcceptPeer() {
  if (!isListening_) StartListening();
  TIdSocketHandle& handle = Binding();
  // One blocking wait instead of polling: the peer connects soon or not at all.
  const int timeout = ReadTimeout == 0 ? WaitForever : ReadTimeout;
  const bool readable = !abortRequested_ && WaitForInput(timeout);
  bool accepted = false;
  if (readable) {
    handle.StartListen(1);
    accepted = handle.AcceptFrom(listenSocket_);
  }
  CloseListenSocket();
  return accepted;
}

void TIdSimpleServer::CloseListenSocket() {
  if (listenSocket_ == platform::kNoSocket) return;
  const platform::SocketCalls& calls = TIdStack::Instance().Calls();
  // Before the accept the handle still holds the listening socket; it then counts as closed too.
  if (IOHandler() != nullptr && Binding().SocketId == listenSocket_) {
    Binding().ReleaseHandle();
  } else {
    calls.close(listenSocket_);
  }
  listenSocket_ = platform::kNoSocket;
  isListening_ = false;
}

}  // namespace ftp

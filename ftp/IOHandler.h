#pragma once

#include <memory>
#include <string>

#include "ftp/Component.h"
#include "ftp/SocketHandle.h"

namespace ftp {

// What a connection reads and writes through.
class TIdIOHandler : public TIdComponent {
 public:
  virtual void OpenHandler() = 0;
  virtual bool IsOpen() const = 0;
  virtual void ConnectToServer(const std::string& host, int port, int timeout, const std::string& boundIP,
                               int boundPort, int boundPortMin, int boundPortMax) = 0;
  virtual bool WaitReadable(int timeout) = 0;
  // The platform's results, unchecked: a byte count, 0 for an orderly close, -1 for failure.
  virtual int ReceiveBytes(void* buffer, int length) = 0;
  virtual int SendBytes(const void* buffer, int length) = 0;
  // Bounds each later SendBytes to `milliseconds` (0: no bound), after which it sends what it could or
  // fails with a timeout error. Handlers whose sends never block need not do anything.
  virtual void LimitSendWait(int /*milliseconds*/) {}
  // The Windows Sockets number of the last failed receive or send.
  virtual int LastError() const;
  virtual void CloseHandler() = 0;
};

class TIdIOHandlerSocket : public TIdIOHandler {
 public:
  bool UseNagle = true;

  TIdSocketHandle* SocketHandle() const { return socketHandle_.get(); }

  void OpenHandler() override;
  bool IsOpen() const override;
  // Binds, resolves and connects; the connect waits as long as the platform lets it.
  void ConnectToServer(const std::string& host, int port, int timeout, const std::string& boundIP,
                       int boundPort, int boundPortMin, int boundPortMax) override;
  bool WaitReadable(int timeout) override;
  int ReceiveBytes(void* buffer, int length) override;
  int SendBytes(const void* buffer, int length) override;
  void LimitSendWait(int milliseconds) override;
  void CloseHandler() override;

 private:
  std::unique_ptr<TIdSocketHandle> socketHandle_;
};

}  // namespace ftp

#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "ftp/IOHandler.h"
#include "ftp/TLSContext.h"

using BIO = struct bio_st;
using BIO_METHOD = struct bio_method_st;

namespace ftp {

// A socket handler that, once StartTLS has run, reads and writes through TLS. Every wait stays within
// the bounds the connection gives: reads within WaitReadable's timeout (a record that arrives in part
// is kept and finished on the next wait), sends within the socket's send bound, the handshake and the close
// within the time StartTLS is given.
class TIdIOHandlerTLS : public TIdIOHandlerSocket {
 public:
  using Clock = std::chrono::steady_clock;

  explicit TIdIOHandlerTLS(std::shared_ptr<TIdTLSContext> context);
  ~TIdIOHandlerTLS() override;

  // The TLS client handshake over the connected socket, finished before `deadline` or EIdTLSError. The
  // control connection's certificate must be trusted (TIdTLSContext::CheckControlPeer); a data
  // connection resumes the control connection's session and must show the same certificate. The same
  // time bounds the wait for the server's close on a data connection.
  void StartTLS(Clock::time_point deadline, bool dataConnection);
  bool TLSActive() const { return connection_ != nullptr; }

  bool WaitReadable(int timeout) override;
  int ReceiveBytes(void* buffer, int length) override;
  int SendBytes(const void* buffer, int length) override;
  int LastError() const override;
  // Sends close_notify and, on a data connection, waits (bounded) until the server has closed its side,
  // so that it has read every byte before our socket closes.
  void CloseHandler() override;

 private:
  static int BioRead(BIO* bio, char* buffer, int length);
  static int BioWrite(BIO* bio, const char* buffer, int length);
  static long BioControl(BIO* bio, int command, long number, void* pointer);
  static const BIO_METHOD* BioMethod();

  // Reads records until application data, the peer's close or a failure comes, or `deadline` passes.
  bool ReadRecord(Clock::time_point deadline);
  void Release();

  std::shared_ptr<TIdTLSContext> context_;
  SSL* connection_ = nullptr;
  bool dataConnection_ = false;
  std::chrono::milliseconds closeWait_{0};
  Clock::time_point ioDeadline_ = Clock::time_point::max();
  bool timedOut_ = false;
  int socketError_ = 0;
  bool usable_ = false;  // handshake done and no fatal failure since
  bool peerClosed_ = false;
  std::string failure_;
  std::vector<char> plain_;
  std::size_t plainStart_ = 0;
  std::size_t plainEnd_ = 0;
};

}  // namespace ftp

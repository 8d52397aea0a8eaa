#include "ftp/IOHandlerTLS.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "ftp/Exceptions.h"
#include "ftp/Stack.h"

namespace ftp {
namespace {

constexpr std::size_t kRecordSize = 16384;

// Milliseconds left until `deadline` as a socket wait takes them (WaitForever for none).
int WaitUntil(TIdIOHandlerTLS::Clock::time_point deadline) {
  if (deadline == TIdIOHandlerTLS::Clock::time_point::max()) return WaitForever;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TIdIOHandlerTLS::Clock::now());
  return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX));
}

TIdIOHandlerTLS::Clock::time_point DeadlineAfter(int timeout) {
  if (timeout < 0) return TIdIOHandlerTLS::Clock::time_point::max();
  return TIdIOHandlerTLS::Clock::now() + std::chrono::milliseconds(timeout);
}

bool IsRetry(int error) { return error == platform::kSocketWouldBlock || error == platform::kSocketTimedOut; }

}  // namespace

TIdIOHandlerTLS::TIdIOHandlerTLS(std::shared_ptr<TIdTLSContext> context)
    : context_(std::move(context)), plain_(kRecordSize) {}

TIdIOHandlerTLS::~TIdIOHandlerTLS() { Release(); }

// The BIO under the TLS connection: the handler's own socket, through the stack's calls, so that every
// platform and every test table of calls serves TLS too.
const BIO_METHOD* TIdIOHandlerTLS::BioMethod() {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* created = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "torvi socket");
    BIO_meth_set_read(created, &TIdIOHandlerTLS::BioRead);
    BIO_meth_set_write(created, &TIdIOHandlerTLS::BioWrite);
    BIO_meth_set_ctrl(created, &TIdIOHandlerTLS::BioControl);
    return created;
  }();
  return method;
}

int TIdIOHandlerTLS::BioRead(BIO* bio, char* buffer, int length) {
  auto& self = *static_cast<TIdIOHandlerTLS*>(BIO_get_data(bio));
  BIO_clear_retry_flags(bio);
  if (!self.SocketHandle()->WaitReadable(WaitUntil(self.ioDeadline_))) {
    self.timedOut_ = true;
    BIO_set_retry_read(bio);
    return -1;
  }
  const int received = self.SocketHandle()->ReceiveInto(buffer, length);
  if (received < 0) self.socketError_ = self.TIdIOHandlerSocket::LastError();
  return received;
}

int TIdIOHandlerTLS::BioWrite(BIO* bio, const char* buffer, int length) {
  auto& self = *static_cast<TIdIOHandlerTLS*>(BIO_get_data(bio));
  BIO_clear_retry_flags(bio);
  const int sent = self.SocketHandle()->SendFrom(buffer, length);
  if (sent < 0) {
    self.socketError_ = self.TIdIOHandlerSocket::LastError();
    if (IsRetry(self.socketError_)) BIO_set_retry_write(bio);
  }
  return sent;
}

long TIdIOHandlerTLS::BioControl(BIO* /*bio*/, int command, long /*number*/, void* /*pointer*/) {
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

void TIdIOHandlerTLS::StartTLS(Clock::time_point deadline, bool dataConnection) {
  if (!IsOpen()) throw EIdNotConnected();
  Release();
  dataConnection_ = dataConnection;
  closeWait_ = std::chrono::milliseconds(std::max(WaitUntil(deadline), 0));
  connection_ = context_->NewConnection(dataConnection);
  BIO* bio = BIO_new(BioMethod());
  BIO_set_data(bio, this);
  BIO_set_init(bio, 1);
  SSL_set_bio(connection_, bio, bio);
  ioDeadline_ = deadline;
  for (;;) {
    timedOut_ = false;
    socketError_ = 0;
    ERR_clear_error();
    const int result = SSL_connect(connection_);
    if (result == 1) break;
    const int error = SSL_get_error(connection_, result);
    if (error == SSL_ERROR_WANT_READ && !timedOut_) continue;
    std::string reason;
    if (timedOut_) {
      reason = "o servidor não respondeu no tempo limite";
    } else if (socketError_ != 0) {
      reason = TIdStack::SocketErrorText(socketError_);
    } else {
      reason = TakeTLSErrorText();
    }
    Release();
    throw EIdTLSError("Falha na negociação TLS: " + reason);
  }
  usable_ = true;
  try {
    if (dataConnection) {
      context_->CheckDataPeer(connection_);
    } else {
      context_->CheckControlPeer(connection_);
    }
  } catch (...) {
    Release();
    throw;
  }
}

bool TIdIOHandlerTLS::ReadRecord(Clock::time_point deadline) {
  ioDeadline_ = deadline;
  for (;;) {
    timedOut_ = false;
    socketError_ = 0;
    ERR_clear_error();
    const int result = SSL_read(connection_, plain_.data(), static_cast<int>(plain_.size()));
    if (result > 0) {
      plainStart_ = 0;
      plainEnd_ = static_cast<std::size_t>(result);
      return true;
    }
    switch (SSL_get_error(connection_, result)) {
      case SSL_ERROR_WANT_READ:
        if (timedOut_) return false;
        continue;  // a record without data, such as a session ticket
      case SSL_ERROR_ZERO_RETURN:
        peerClosed_ = true;
        return true;
      case SSL_ERROR_SYSCALL:
        usable_ = false;
        peerClosed_ = socketError_ == 0;
        return true;
      default:
        usable_ = false;
        failure_ = TakeTLSErrorText();
        return true;
    }
  }
}

bool TIdIOHandlerTLS::WaitReadable(int timeout) {
  if (!TLSActive()) return TIdIOHandlerSocket::WaitReadable(timeout);
  if (plainStart_ < plainEnd_ || peerClosed_ || !usable_) return true;
  return ReadRecord(DeadlineAfter(timeout));
}

int TIdIOHandlerTLS::ReceiveBytes(void* buffer, int length) {
  if (!TLSActive()) return TIdIOHandlerSocket::ReceiveBytes(buffer, length);
  if (plainStart_ == plainEnd_ && !peerClosed_ && usable_) ReadRecord(Clock::time_point::max());
  if (plainStart_ < plainEnd_) {
    const std::size_t count =
        std::min(plainEnd_ - plainStart_, static_cast<std::size_t>(std::max(length, 0)));
    std::memcpy(buffer, plain_.data() + plainStart_, count);
    plainStart_ += count;
    return static_cast<int>(count);
  }
  if (!failure_.empty()) throw EIdTLSError("Falha na conexão TLS: " + failure_);
  if (socketError_ != 0) TIdStack::Instance().ThrowSocketError(socketError_);
  return 0;
}

int TIdIOHandlerTLS::SendBytes(const void* buffer, int length) {
  if (!TLSActive()) return TIdIOHandlerSocket::SendBytes(buffer, length);
  if (!usable_) throw EIdClosedSocket();
  // Reads a send may need (a key update) are bounded like the send.
  ioDeadline_ = Clock::now() + std::chrono::seconds(1);
  timedOut_ = false;
  socketError_ = 0;
  ERR_clear_error();
  const int result = SSL_write(connection_, buffer, length);
  if (result > 0) return result;
  const int error = SSL_get_error(connection_, result);
  if ((error == SSL_ERROR_WANT_WRITE && IsRetry(socketError_)) ||
      (error == SSL_ERROR_WANT_READ && timedOut_)) {
    socketError_ = platform::kSocketWouldBlock;
    return -1;
  }
  usable_ = false;
  if (error == SSL_ERROR_SYSCALL && socketError_ != 0) TIdStack::Instance().ThrowSocketError(socketError_);
  throw EIdTLSError("Falha na conexão TLS: " + TakeTLSErrorText());
}

int TIdIOHandlerTLS::LastError() const {
  return TLSActive() ? socketError_ : TIdIOHandlerSocket::LastError();
}

void TIdIOHandlerTLS::CloseHandler() {
  if (TLSActive() && usable_ && IsOpen()) {
    ioDeadline_ = Clock::now() + closeWait_;
    timedOut_ = false;
    ERR_clear_error();
    if (SSL_shutdown(connection_) == 0 && dataConnection_) {
      // Our close_notify is out; the server's close (its close_notify or the end of the stream) says it
      // has read everything before it.
      plainStart_ = plainEnd_;
      while (!peerClosed_ && usable_ && ReadRecord(ioDeadline_)) plainStart_ = plainEnd_;
    }
  }
  Release();
  TIdIOHandlerSocket::CloseHandler();
}

void TIdIOHandlerTLS::Release() {
  if (connection_ != nullptr) SSL_free(connection_);
  connection_ = nullptr;
  usable_ = false;
  peerClosed_ = false;
  failure_.clear();
  plainStart_ = plainEnd_ = 0;
}

}  // namespace ftp

#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/Exception.h"

namespace ftp {

// Every failure of the FTP client derives from EIdException.
class EIdException : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// A failure an application may treat as a normal end.
class EIdSilentException : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdSocketError : public EIdException {
 public:
  EIdSocketError(int errorCode, std::string message)
      : EIdException(std::move(message)), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

class EIdWS2StubError : public EIdException {
 public:
  EIdWS2StubError(std::string title, int errorCode, std::string errorText)
      : EIdException(title + ": " + errorText),
        title_(std::move(title)),
        errorCode_(errorCode),
        errorText_(std::move(errorText)) {}
  const std::string& Title() const { return title_; }
  int ErrorCode() const { return errorCode_; }
  const std::string& ErrorText() const { return errorText_; }

 private:
  std::string title_;
  int errorCode_;
  std::string errorText_;
};

class EIdStackError : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdStackInitializationFailed : public EIdStackError {
 public:
  EIdStackInitializationFailed() : EIdStackError("Winsock Initialization Error.") {}
};

class EIdStackSetSizeExceeded : public EIdStackError {
 public:
  EIdStackSetSizeExceeded() : EIdStackError("Set Size Exceeded.") {}
};

class EIdInvalidSocket : public EIdException {
 public:
  EIdInvalidSocket() : EIdException("Cannot allocate socket.") {}
};

class EIdSocketHandleError : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdCouldNotBindSocket : public EIdSocketHandleError {
 public:
  EIdCouldNotBindSocket()
      : EIdSocketHandleError("Could not bind socket. Address and port are already in use.") {}
};

class EIdInvalidPortRange : public EIdSocketHandleError {
 public:
  EIdInvalidPortRange(int minimum, int maximum)
      : EIdSocketHandleError("Invalid Port Range (" + std::to_string(minimum) + " - " +
                             std::to_string(maximum) + ")") {}
};

class EIdCanNotBindPortInRange : public EIdSocketHandleError {
 public:
  EIdCanNotBindPortInRange(int minimum, int maximum)
      : EIdSocketHandleError("Can not bind in port range (" + std::to_string(minimum) + " - " +
                             std::to_string(maximum) + ")") {}
};

class EIdClosedSocket : public EIdException {
 public:
  EIdClosedSocket() : EIdException("Disconnected.") {}
};

class EIdConnClosedGracefully : public EIdSilentException {
 public:
  EIdConnClosedGracefully() : EIdSilentException("Connection Closed Gracefully.") {}
};

class EIdConnectTimeout : public EIdException {
 public:
  EIdConnectTimeout() : EIdException("Connect timed out.") {}
};

// Carries the message of the failure met by a connect running on its own thread.
class EIdConnectException : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdAlreadyConnected : public EIdException {
 public:
  EIdAlreadyConnected() : EIdException("Already connected.") {}
};

class EIdReadTimeout : public EIdException {
 public:
  EIdReadTimeout() : EIdException("Read Timeout") {}
};

class EIdReadLnMaxLineLengthExceeded : public EIdException {
 public:
  EIdReadLnMaxLineLengthExceeded() : EIdException("Max line length exceeded.") {}
};

// A peer went past one of the bounds that keep the memory and the time of an unattended run finite:
// a server that sends without end, trickles, or never finishes.
class EIdBoundExceeded : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdReplyTooLarge : public EIdBoundExceeded {
 public:
  explicit EIdReplyTooLarge(int limit)
      : EIdBoundExceeded("Resposta do servidor excede o limite de " + std::to_string(limit) + " bytes.") {}
};

class EIdReplyTimeout : public EIdBoundExceeded {
 public:
  explicit EIdReplyTimeout(int milliseconds)
      : EIdBoundExceeded("Resposta do servidor não se completou no tempo limite de " +
                         std::to_string(milliseconds) + " ms.") {}
};

class EIdListingTooLarge : public EIdBoundExceeded {
 public:
  EIdListingTooLarge(std::int64_t limit, const char* unit)
      : EIdBoundExceeded("Listagem do servidor excede o limite de " + std::to_string(limit) + " " + unit +
                         ".") {}
};

class EIdTransferTooSlow : public EIdBoundExceeded {
 public:
  EIdTransferTooSlow(int bytesPerSecond, int seconds)
      : EIdBoundExceeded("Transferência abaixo do mínimo de " + std::to_string(bytesPerSecond) +
                         " bytes/s durante " + std::to_string(seconds) + " s.") {}
};

class EIdDeadlineReached : public EIdBoundExceeded {
 public:
  EIdDeadlineReached() : EIdBoundExceeded("Prazo máximo da conexão esgotado.") {}
};

class EIdProtocolReplyError : public EIdException {
 public:
  EIdProtocolReplyError(int replyCode, std::string message)
      : EIdException(std::move(message)), replyCode_(replyCode) {}
  int ReplyCode() const { return replyCode_; }

 private:
  int replyCode_;
};

class EIdTCPConnectionError : public EIdException {
 public:
  using EIdException::EIdException;
};

class EIdNotConnected : public EIdTCPConnectionError {
 public:
  EIdNotConnected() : EIdTCPConnectionError("Not Connected") {}
};

class EIdNotEnoughDataInBuffer : public EIdTCPConnectionError {
 public:
  EIdNotEnoughDataInBuffer() : EIdTCPConnectionError("Not enough data in buffer.") {}
};

class EIdNoDataToRead : public EIdTCPConnectionError {
 public:
  EIdNoDataToRead() : EIdTCPConnectionError("No data to read.") {}
};

class EIdFileNotFound : public EIdTCPConnectionError {
 public:
  explicit EIdFileNotFound(const std::string& fileName)
      : EIdTCPConnectionError("File \"" + fileName + "\" not found") {}
};

// TLS: a handshake or record that fails, a server certificate nobody trusts, a server that will not speak
// TLS when the settings require it, a pinned fingerprint that cannot be one.
class EIdTLSError : public EIdException {
 public:
  using EIdException::EIdException;
};

struct TIdCertificateInfo {
  std::string Subject;
  std::string Issuer;
  std::string NotBefore;
  std::string NotAfter;
  std::string Fingerprint;  // SHA-256, upper-case hexadecimal pairs joined by colons
  std::string Problem;      // why it does not verify; empty when it does
};

class EIdTLSUntrusted : public EIdTLSError {
 public:
  explicit EIdTLSUntrusted(TIdCertificateInfo certificate)
      : EIdTLSError("Certificado do servidor não confiável (" + certificate.Problem + "); SHA-256 " +
                    certificate.Fingerprint + "."),
        certificate_(std::move(certificate)) {}
  const TIdCertificateInfo& Certificate() const { return certificate_; }

 private:
  TIdCertificateInfo certificate_;
};

class EIdTLSRefused : public EIdTLSError {
 public:
  EIdTLSRefused(int replyCode, const std::string& reply)
      : EIdTLSError("O servidor recusou AUTH TLS; nada foi enviado sem criptografia: " +
                    std::to_string(replyCode) + " " + reply) {}
};

class EIdBadFingerprint : public EIdTLSError {
 public:
  explicit EIdBadFingerprint(const std::string& text)
      : EIdTLSError("Impressão digital do certificado inválida (esperados 64 dígitos hexadecimais): \"" +
                    text + "\"") {}
};

}  // namespace ftp

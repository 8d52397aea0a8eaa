#pragma once

#include <string>

#include "ftp/Exceptions.h"

using SSL_CTX = struct ssl_ctx_st;
using SSL = struct ssl_st;
using SSL_SESSION = struct ssl_session_st;

namespace ftp {

// What one FTP session's TLS connections share: the trusted roots, the server name the certificate must
// carry, a pinned fingerprint, the certificate the control connection showed and the latest session the
// server gave, which every data connection resumes (servers refuse data connections that do not).
class TIdTLSContext {
 public:
  // `pinnedFingerprint` in any form the settings allow (empty: none); `extraCAFile` adds the roots of
  // one PEM file to the system's (empty: none). Raises EIdBadFingerprint or EIdTLSError.
  TIdTLSContext(std::string host, const std::string& pinnedFingerprint, const std::string& extraCAFile);
  ~TIdTLSContext();
  TIdTLSContext(const TIdTLSContext&) = delete;
  TIdTLSContext& operator=(const TIdTLSContext&) = delete;

  // A new connection object for one socket: TLS 1.2 at least, the server name sent and checked, and
  // for a data connection the control connection's session to resume.
  SSL* NewConnection(bool dataConnection);
  // After the control connection's handshake: accepts a certificate that verifies or matches the pin,
  // else raises EIdTLSUntrusted. Either way the certificate is kept for ServerCertificate.
  void CheckControlPeer(SSL* connection);
  // After a data connection's handshake: it must show the control connection's certificate.
  void CheckDataPeer(SSL* connection) const;
  const TIdCertificateInfo& ServerCertificate() const { return certificate_; }

 private:
  static int KeepSession(SSL* connection, SSL_SESSION* session);

  SSL_CTX* handle_ = nullptr;
  std::string host_;
  std::string pin_;
  TIdCertificateInfo certificate_;
  SSL_SESSION* session_ = nullptr;
};

// Text of the oldest error in OpenSSL's queue of this thread, which is emptied.
std::string TakeTLSErrorText();

}  // namespace ftp

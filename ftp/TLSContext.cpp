#include "ftp/TLSContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <memory>
#include <utility>

#include "ftp/Stack.h"
#include "ftp/TLSCertificate.h"
#include "ftp/TLSRoots.h"

namespace ftp {
namespace {

// The context a connection object belongs to, found again from OpenSSL's callbacks.
int ContextIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

using PeerCertificate = std::unique_ptr<X509, decltype(&X509_free)>;

PeerCertificate PeerOf(SSL* connection) { return {SSL_get1_peer_certificate(connection), &X509_free}; }

}  // namespace

std::string TakeTLSErrorText() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "conexão encerrada pelo servidor";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

TIdTLSContext::TIdTLSContext(std::string host, const std::string& pinnedFingerprint,
                             const std::string& extraCAFile)
    : host_(std::move(host)), pin_(CanonicalFingerprint(pinnedFingerprint)) {
  handle_ = SSL_CTX_new(TLS_client_method());
  if (handle_ == nullptr) throw EIdTLSError("Falha ao iniciar o TLS: " + TakeTLSErrorText());
  SSL_CTX_set_ex_data(handle_, ContextIndex(), this);
  SSL_CTX_set_min_proto_version(handle_, TLS1_2_VERSION);
  // The certificate is judged after the handshake (CheckControlPeer), so that a certificate nobody has
  // trusted yet can still be shown; nothing is sent over the connection before that judgement.
  SSL_CTX_set_verify(handle_, SSL_VERIFY_NONE, nullptr);
  // A data connection's end is announced by the server's reply, not by its close_notify.
  SSL_CTX_set_options(handle_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(handle_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  // Sessions come through the callback, which keeps the newest; TLS 1.3 servers send theirs after the
  // handshake, so only then is one there to resume.
  SSL_CTX_set_session_cache_mode(handle_, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
  SSL_CTX_sess_set_new_cb(handle_, &TIdTLSContext::KeepSession);
  AddSystemRoots(SSL_CTX_get_cert_store(handle_));
  if (!extraCAFile.empty() && SSL_CTX_load_verify_locations(handle_, extraCAFile.c_str(), nullptr) != 1) {
    const std::string reason = TakeTLSErrorText();
    SSL_CTX_free(handle_);
    throw EIdTLSError("Falha ao ler os certificados de " + extraCAFile + ": " + reason);
  }
}

TIdTLSContext::~TIdTLSContext() {
  SSL_SESSION_free(session_);
  SSL_CTX_free(handle_);
}

int TIdTLSContext::KeepSession(SSL* connection, SSL_SESSION* session) {
  auto* context =
      static_cast<TIdTLSContext*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(connection), ContextIndex()));
  SSL_SESSION_free(context->session_);
  context->session_ = session;
  return 1;  // the reference is ours now
}

SSL* TIdTLSContext::NewConnection(bool dataConnection) {
  SSL* connection = SSL_new(handle_);
  if (connection == nullptr) throw EIdTLSError("Falha ao iniciar o TLS: " + TakeTLSErrorText());
  X509_VERIFY_PARAM* parameters = SSL_get0_param(connection);
  X509_VERIFY_PARAM_set_hostflags(parameters, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  const bool ok = TIdStack::IsIPv4Text(host_)
                      ? X509_VERIFY_PARAM_set1_ip_asc(parameters, host_.c_str()) == 1
                      : SSL_set_tlsext_host_name(connection, host_.c_str()) == 1 &&
                            X509_VERIFY_PARAM_set1_host(parameters, host_.c_str(), 0) == 1;
  if (ok && (!dataConnection || session_ == nullptr || SSL_set_session(connection, session_) == 1)) {
    return connection;
  }
  SSL_free(connection);
  throw EIdTLSError("Falha ao iniciar o TLS: " + TakeTLSErrorText());
}

void TIdTLSContext::CheckControlPeer(SSL* connection) {
  const PeerCertificate peer = PeerOf(connection);
  if (!peer) throw EIdTLSError("O servidor não apresentou certificado.");
  const long verified = SSL_get_verify_result(connection);
  const std::string problem = verified == X509_V_OK ? std::string() : X509_verify_cert_error_string(verified);
  certificate_ = DescribeCertificate(peer.get(), problem);
  if (verified == X509_V_OK) return;
  if (!pin_.empty() && pin_ == certificate_.Fingerprint) return;
  if (!pin_.empty()) certificate_.Problem += "; não confere com o certificado fixado " + pin_;
  throw EIdTLSUntrusted(certificate_);
}

void TIdTLSContext::CheckDataPeer(SSL* connection) const {
  const PeerCertificate peer = PeerOf(connection);
  const std::string fingerprint = peer ? DescribeCertificate(peer.get(), {}).Fingerprint : std::string();
  if (fingerprint != certificate_.Fingerprint) {
    throw EIdTLSError("A conexão de dados apresentou outro certificado que a de controle.");
  }
}

}  // namespace ftp

#include "run/SmtpSender.h"

#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <array>
#include <memory>
#include <optional>

#include "app/EmailSecurity.h"
#include "app/MailAddresses.h"
#include "platform/Fingerprint.h"

namespace run {
namespace {

// What the TLS handshake saw of the server's certificate, and the pin it must match.
struct CertificateCheck {
  std::optional<std::string> pin;
  std::optional<std::string> seen;  // the server's own certificate, once the handshake showed it
};

int CheckIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

// Called by OpenSSL for each certificate of the server's chain. Notes the server's own certificate;
// with a pin, that certificate alone decides (the chain and the name are not looked at), and any other
// certificate ends the handshake before a password is sent.
int VerifyCertificate(int preverified, X509_STORE_CTX* store) {
  auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  auto* check = static_cast<CertificateCheck*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), CheckIndex()));
  X509* leaf = X509_STORE_CTX_get0_cert(store);
  if (check == nullptr || leaf == nullptr) return preverified;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(leaf, EVP_sha256(), digest, &length) == 1)
    check->seen = platform::FingerprintText({digest, length});
  if (!check->pin) return preverified;
  if (check->seen != check->pin) return 0;
  X509_STORE_CTX_set_error(store, X509_V_OK);
  return 1;
}

CURLcode PrepareTls(CURL* /*curl*/, void* sslContext, void* data) {
  auto* context = static_cast<SSL_CTX*>(sslContext);
  SSL_CTX_set_ex_data(context, CheckIndex(), data);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, VerifyCertificate);
  return CURLE_OK;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};

template <typename T>
using CurlOwned = std::unique_ptr<T, CurlDeleter>;

void Append(CurlOwned<curl_slist>& list, const std::string& line) {
  curl_slist* longer = curl_slist_append(list.get(), line.c_str());
  if (longer == nullptr) throw MailError("sem memória para montar o e-mail");
  list.release();
  list.reset(longer);
}

void RefuseControlCharacters(const MailServer& server, const MailMessage& message) {
  const std::string fields[] = {server.host,       server.user,  server.password, server.pin,
                                server.clientName, message.from, message.subject};
  bool refused = false;
  for (const std::string& field : fields) refused = refused || app::HasControlCharacter(field);
  for (const std::string& to : message.to) refused = refused || app::HasControlCharacter(to);
  if (refused) throw MailError("um campo do e-mail contém caracteres de controle (quebra de linha?)");
  if (message.to.empty()) throw MailError("nenhum destinatário");
}

// Mail text ends its lines with CR LF; the quoted-printable encoder keeps only those as line ends.
std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) converted += '\r';
    converted += text[i];
  }
  return converted;
}

std::string HostInUrl(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

std::string Url(const MailServer& server) {
  const char* scheme = server.security == app::kEmailImplicitTls ? "smtps://" : "smtp://";
  // The path names this machine in EHLO.
  return scheme + HostInUrl(server.host) + ":" + std::to_string(server.port) + "/" + server.clientName;
}

std::string JoinedRecipients(const MailMessage& message) {
  std::string joined;
  for (const std::string& to : message.to) joined += (joined.empty() ? "" : ", ") + to;
  return joined;
}

std::string Reason(CURLcode code, const char* details, const MailServer& server,
                   const CertificateCheck& check) {
  const std::string where = server.host + ":" + std::to_string(server.port);
  const std::string fingerprint = check.seen ? " (SHA-256 " + *check.seen + ")" : "";
  if (check.pin && check.seen && check.seen != check.pin) {
    return "o certificado do servidor de e-mail" + fingerprint + " não é o fixado em Email/Certificado";
  }
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return "servidor de e-mail não encontrado: " + server.host;
    case CURLE_COULDNT_CONNECT:
      return "não foi possível conectar ao servidor de e-mail " + where;
    case CURLE_OPERATION_TIMEDOUT:
      return "o servidor de e-mail " + where + " não respondeu a tempo";
    case CURLE_LOGIN_DENIED:
      return "o servidor de e-mail recusou o usuário ou a senha";
    case CURLE_USE_SSL_FAILED:
      return "o servidor de e-mail não oferece STARTTLS";
    case CURLE_PEER_FAILED_VERIFICATION:
      return "o certificado do servidor de e-mail não é confiável" + fingerprint +
             "; se for o certificado certo, fixe-o em Email/Certificado";
    default:
      break;
  }
  const std::string said = details != nullptr && details[0] != '\0' ? details : curl_easy_strerror(code);
  return "falha no envio ao servidor de e-mail " + where + ": " + said;
}

}  // namespace

void SendMail(const MailServer& server, const MailMessage& message) {
  RefuseControlCharacters(server, message);
  CertificateCheck check;
  if (!server.pin.empty()) {
    check.pin = platform::CanonicalFingerprint(server.pin);
    if (!check.pin)
      throw MailError("Email/Certificado não é uma impressão SHA-256 (64 dígitos hexadecimais)");
  }
  const CurlOwned<CURL> curl(curl_easy_init());
  if (!curl) throw MailError("não foi possível iniciar o envio de e-mail");
  CURL* handle = curl.get();
  std::array<char, CURL_ERROR_SIZE> details{};
  const std::string url = Url(server);
  const std::string from = "<" + message.from + ">";
  CurlOwned<curl_slist> recipients;
  for (const std::string& to : message.to) Append(recipients, "<" + to + ">");
  const auto now = std::chrono::system_clock::now();
  CurlOwned<curl_slist> headers;
  Append(headers, "Date: " + MailDate(now));
  Append(headers, "From: Backup Ormelin <" + message.from + ">");
  Append(headers, "To: " + JoinedRecipients(message));
  Append(headers, "Subject: " + EncodedHeaderText(message.subject));
  Append(headers, "Message-ID: " + NewMessageId(server.clientName, now));

  const std::string body = WithCrLf(message.body);
  const CurlOwned<curl_mime> mime(curl_mime_init(handle));
  curl_mimepart* text = curl_mime_addpart(mime.get());
  curl_mime_data(text, body.data(), body.size());
  curl_mime_type(text, "text/plain; charset=UTF-8");
  curl_mime_encoder(text, "quoted-printable");

  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, details.data());
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(server.connectTimeoutMs));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(server.totalTimeoutMs));
  if (server.security == app::kEmailStartTls)
    curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  if (server.security != app::kEmailPlain) {
    curl_easy_setopt(handle, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, PrepareTls);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &check);
    if (check.pin) {
      // The pin stands in for the roots and the name; the handshake still fails on any other certificate.
      curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
      curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (!server.caFile.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, server.caFile.c_str());
#ifdef _WIN32
    if (server.caFile.empty())
      curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
#endif
  }
  if (!server.user.empty()) {
    curl_easy_setopt(handle, CURLOPT_USERNAME, server.user.c_str());
    curl_easy_setopt(handle, CURLOPT_PASSWORD, server.password.c_str());
  }
  curl_easy_setopt(handle, CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients.get());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_MIMEPOST, mime.get());

  const CURLcode code = curl_easy_perform(handle);
  if (code != CURLE_OK) throw MailError(Reason(code, details.data(), server, check));
}

}  // namespace run

#include "ftp/TLSCertificate.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <optional>

#include "platform/Fingerprint.h"

namespace ftp {
namespace {

// OpenSSL's own printers write to a BIO; the text is read back from memory.
template <typename Print>
std::string Printed(Print print) {
  const std::unique_ptr<BIO, decltype(&BIO_free)> memory(BIO_new(BIO_s_mem()), &BIO_free);
  if (!memory || print(memory.get()) <= 0) return {};
  char* data = nullptr;
  const long length = BIO_get_mem_data(memory.get(), &data);
  return std::string(data, static_cast<std::size_t>(length));
}

std::string NameText(const X509_NAME* name) {
  return Printed(
      [name](BIO* out) { return X509_NAME_print_ex(out, name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB); });
}

std::string TimeText(const ASN1_TIME* time) {
  return Printed([time](BIO* out) { return ASN1_TIME_print(out, time); });
}

}  // namespace

std::string CanonicalFingerprint(const std::string& text) {
  std::optional<std::string> canonical = platform::CanonicalFingerprint(text);
  if (!canonical) throw EIdBadFingerprint(text);
  return *canonical;
}

TIdCertificateInfo DescribeCertificate(X509* certificate, const std::string& problem) {
  TIdCertificateInfo info;
  info.Problem = problem;
  if (certificate == nullptr) return info;
  info.Subject = NameText(X509_get_subject_name(certificate));
  info.Issuer = NameText(X509_get_issuer_name(certificate));
  info.NotBefore = TimeText(X509_get0_notBefore(certificate));
  info.NotAfter = TimeText(X509_get0_notAfter(certificate));
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) == 1)
    info.Fingerprint = platform::FingerprintText({digest, length});
  return info;
}

std::string CertificateText(const TIdCertificateInfo& certificate) {
  std::string text = "Certificado do servidor:\n";
  text += "  Assunto: " + certificate.Subject + "\n";
  text += "  Emissor: " + certificate.Issuer + "\n";
  text += "  Válido de: " + certificate.NotBefore + "\n";
  text += "  Válido até: " + certificate.NotAfter + "\n";
  text += "  SHA-256: " + certificate.Fingerprint + "\n";
  if (!certificate.Problem.empty()) text += "  Problema: " + certificate.Problem + "\n";
  return text;
}

}  // namespace ftp

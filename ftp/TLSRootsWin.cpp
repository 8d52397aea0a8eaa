#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// <wincrypt.h> names some types as OpenSSL does; OpenSSL's headers, included after it, undo those names.
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <wincrypt.h>

#include "ftp/TLSRoots.h"

namespace ftp {

void AddSystemRoots(X509_STORE* store) {
  HCERTSTORE roots = CertOpenSystemStoreW(0, L"ROOT");
  if (roots == nullptr) return;
  PCCERT_CONTEXT entry = nullptr;
  while ((entry = CertEnumCertificatesInStore(roots, entry)) != nullptr) {
    const unsigned char* bytes = entry->pbCertEncoded;
    X509* certificate = d2i_X509(nullptr, &bytes, static_cast<long>(entry->cbCertEncoded));
    if (certificate == nullptr) continue;
    // A root already present is refused; that is no fault.
    X509_STORE_add_cert(store, certificate);
    X509_free(certificate);
  }
  CertCloseStore(roots, 0);
}

}  // namespace ftp

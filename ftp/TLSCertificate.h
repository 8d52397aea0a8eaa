#pragma once

#include <string>

#include "ftp/Exceptions.h"

using X509 = struct x509_st;

namespace ftp {

// A pinned fingerprint as the settings hold it (64 hexadecimal digits, either case, colons anywhere)
// in its one canonical form: upper-case pairs joined by colons. Empty stays empty (nothing pinned);
// anything else raises EIdBadFingerprint.
std::string CanonicalFingerprint(const std::string& text);

// Subject, issuer, validity and SHA-256 fingerprint of a certificate, with `problem` as the reason it
// does not verify (empty when it does).
TIdCertificateInfo DescribeCertificate(X509* certificate, const std::string& problem);

// The certificate as lines a person reads before deciding to trust it.
std::string CertificateText(const TIdCertificateInfo& certificate);

}  // namespace ftp

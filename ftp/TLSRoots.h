#pragma once

using X509_STORE = struct x509_store_st;

namespace ftp {

// Puts the system's trusted root certificates into `store`: the certificate bundle on Linux, the
// certificate store "ROOT" on Windows.
void AddSystemRoots(X509_STORE* store);

}  // namespace ftp

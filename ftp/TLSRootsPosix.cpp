#include <openssl/x509_vfy.h>

#include "ftp/TLSRoots.h"

namespace ftp {

void AddSystemRoots(X509_STORE* store) { X509_STORE_set_default_paths(store); }

}  // namespace ftp

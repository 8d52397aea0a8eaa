#pragma once

#include <string>

#include "platform/Exception.h"

namespace platform {

// The error for a folder the program will not put its archiver in or run it from.
inline Exception NotPrivateFolder(const std::string& folder, const std::string& reason) {
  return Exception("A pasta " + folder + " " + reason +
                   "; por segurança, o programa de compactação não é gravado nem executado nela.");
}

}  // namespace platform

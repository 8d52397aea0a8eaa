#include "run/FtpBoundRow.h"

#include "ftp/Exceptions.h"

namespace run {

std::optional<std::string> FtpBoundRow(const std::exception& error, const ftp::TIdFTP& client) {
  if (dynamic_cast<const ftp::EIdBoundExceeded*>(&error) != nullptr ||
      dynamic_cast<const ftp::EIdTLSError*>(&error) != nullptr) {
    return " - " + std::string(error.what());
  }
  // These two keep the client's own English texts; the log gets ours.
  if (dynamic_cast<const ftp::EIdReadLnMaxLineLengthExceeded*>(&error) != nullptr) {
    return " - Linha da resposta do servidor excede o limite de " + std::to_string(client.MaxLineLength) +
           " bytes.";
  }
  if (dynamic_cast<const ftp::EIdReadTimeout*>(&error) != nullptr) {
    return " - Servidor sem resposta no tempo limite de " + std::to_string(client.ReadTimeout) + " ms.";
  }
  return std::nullopt;
}

}  // namespace run

#pragma once

#include <exception>
#include <optional>
#include <string>

#include "ftp/FTP.h"

namespace run {

// The log row naming the bound an FTP server went past (a reply or listing too large, a reply or a
// transfer too slow, a silent server) or the TLS failure (a certificate not trusted, a server refusing
// TLS, a broken handshake, a bad pin), so that the log says why the attempt failed; none for other
// failures, whose texts the run does not show.
std::optional<std::string> FtpBoundRow(const std::exception& error, const ftp::TIdFTP& client);

}  // namespace run

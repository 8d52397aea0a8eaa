#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/BackupSettings.h"

namespace run {

// The extension the server's archives carry: EdtExtensaoFTP when CheckMudaExtensao is on, else "rar".
std::string FtpExtension(const app::BackupSettings& settings);
// "bkp*." + the extension: the archives kept on the server.
std::string FtpListingMask(const app::BackupSettings& settings);
// The remote name alone when EdtPastaFTP is empty, else EdtPastaFTP + "/" + the remote name.
std::string FtpRemotePath(const app::BackupSettings& settings, const std::string& remoteName);

// The name of a listing line: from the first "bkp" (lower case) to the end, or the whole line without
// one, with blanks and control characters trimmed at both ends.
std::string ListedName(std::string_view line);

// The moment written in an archive name, "bkp" + ddmmyyyy + hhmmss + ...: seconds since 1 January 1970,
// read as day/month/year whatever the locale. Throws platform::Exception when those characters are no
// valid date and time.
std::int64_t NameDate(const std::string& listedName);

}  // namespace run

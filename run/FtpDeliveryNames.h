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
// The name an upload travels under until it is complete and checked: the remote name + ".parcial", which
// the listing mask never matches, so a cut-off upload is never counted as an archive.
std::string FtpTemporaryName(const std::string& remoteName);
// The listing mask + ".parcial": uploads of earlier attempts that were cut off.
std::string FtpTemporaryMask(const app::BackupSettings& settings);

// The name of a listing line: from the first "bkp" (lower case) to the end, or the whole line without
// one, with blanks and control characters trimmed at both ends.
std::string ListedName(std::string_view line);

// The size column of a listing line in the usual Unix form ("-rw-r--r-- 1 owner group SIZE Mon dd hh:mm
// name"), or -1 when the line has no such column.
std::int64_t ListedSize(std::string_view line);

// The moment written in an archive name, "bkp" + ddmmyyyy + hhmmss + ...: seconds since 1 January 1970,
// read as day/month/year whatever the locale. Throws platform::Exception when those characters are no
// valid date and time.
std::int64_t NameDate(const std::string& listedName);

}  // namespace run

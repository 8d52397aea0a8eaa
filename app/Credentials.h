#pragma once

#include <string>
#include <string_view>

namespace app {

// The reversible transformation under which the database user, the database password and the FTP
// password are stored. It works on the Windows-1252 codes of the text; UTF-8 in and out, same length in
// characters.
std::string ScrambleCredential(std::string_view text);
std::string UnscrambleCredential(std::string_view text);

}  // namespace app

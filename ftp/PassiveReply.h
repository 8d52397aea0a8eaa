#pragma once

#include <cstdint>
#include <string>

namespace ftp {

struct TIdPassiveTarget {
  std::string Host;       // dotted text as the server gave it
  std::int64_t Port = 0;  // as announced: may lie outside the valid port range
};

// Reads the address of a 227 reply line, "Entering Passive Mode (h1,h2,h3,h4,p1,p2)" or, without
// parentheses, the text after the last blank. A port field that is not a number raises
// platform::EConvertError.
TIdPassiveTarget ParsePassiveReply(const std::string& replyLine);

}  // namespace ftp

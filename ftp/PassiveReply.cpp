#include "ftp/PassiveReply.h"

#include <algorithm>
#include <vector>

#include "ftp/Text.h"
#include "platform/Conversions.h"

namespace ftp {
namespace {

// Fields up to the next comma; the last field runs to the end.
std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  for (;;) {
    const auto comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

}  // namespace

TIdPassiveTarget ParsePassiveReply(const std::string& replyLine) {
  const std::string line = Trim(replyLine);
  std::string address;
  const auto open = line.find('(');
  const auto close = line.find(')');
  if (open != std::string::npos && close != std::string::npos) {
    address = open < close ? line.substr(open + 1, close - open - 1) : std::string();
  } else {
    const auto blank = line.rfind(' ');
    address = blank == std::string::npos ? line : line.substr(blank + 1);
  }
  std::vector<std::string> fields = SplitFields(address);
  fields.resize(std::max<std::size_t>(fields.size(), 6));
  TIdPassiveTarget target;
  target.Host = fields[0] + "." + fields[1] + "." + fields[2] + "." + fields[3];
  target.Port = std::int64_t{platform::StrToInt(fields[4])} * 256 + platform::StrToInt(fields[5]);
  return target;
}

}  // namespace ftp

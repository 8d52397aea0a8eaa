#include "ftp/RFCReply.h"

#include "ftp/Text.h"

namespace ftp {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

void TIdRFCReply::Clear() {
  NumericCode = 0;
  TextCode.clear();
  Text.clear();
}

void TIdRFCReply::ParseLines(const std::vector<std::string>& lines) {
  Clear();
  if (lines.empty()) return;
  TextCode = Trim(lines.front().substr(0, 4));
  if (TextCode.size() == 4 && TextCode[3] == '-') TextCode.resize(3);
  NumericCode = StrToIntDef(TextCode, 0);
  for (const std::string& line : lines) Text.push_back(line.size() > 4 ? line.substr(4) : std::string());
}

std::string TIdRFCReply::FormattedText() const {
  std::string text;
  for (const std::string& line : Text) text += line + "\r\n";
  return text;
}

bool TIdRFCReply::IsMultiLineStart(const std::string& firstLine) {
  return firstLine.size() > 3 && firstLine[3] == '-';
}

bool TIdRFCReply::EndsMultiLine(const std::string& firstLine, const std::string& line) {
  if (line.size() < 4) return true;
  const std::string marker = firstLine.substr(0, 3) + " ";
  for (std::size_t i = 0; i < 4; ++i) {
    if (Upper(line[i]) != Upper(marker[i])) return false;
  }
  return true;
}

}  // namespace ftp

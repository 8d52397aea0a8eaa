#pragma once

#include <string>
#include <vector>

namespace ftp {

// One numeric reply: "230-Welcome" / "230 Done" lines give code 230 and the texts after the codes.
struct TIdRFCReply {
  int NumericCode = 0;  // 0 when the code text is not a number
  std::string TextCode;
  std::vector<std::string> Text;

  void Clear();
  // Fills the reply from its lines as read (trimmed, the first line holding the code).
  void ParseLines(const std::vector<std::string>& lines);
  // The text lines, each followed by CR LF.
  std::string FormattedText() const;
  // Whether `line` ends the multi-line reply that `firstLine` opened ("230-..." ends at "230 ...").
  static bool IsMultiLineStart(const std::string& firstLine);
  static bool EndsMultiLine(const std::string& firstLine, const std::string& line);
};

}  // namespace ftp

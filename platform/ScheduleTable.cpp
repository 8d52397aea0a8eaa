#include "platform/ScheduleTable.h"

namespace platform {

std::string ComposeScheduleLine(std::string_view timeText, bool noFtp, std::string_view executablePath) {
  // The time field always holds five characters ("hh:mm"); a shorter text reads as blanks.
  const auto at = [&](std::size_t index) { return index < timeText.size() ? timeText[index] : ' '; };
  std::string line{at(3), at(4), ' ', at(0), at(1)};
  line += " * * * ";
  line += executablePath;
  if (noFtp) line += " /noftp";
  return line;
}

std::string AppendScheduleLine(std::string table, std::string_view line) {
  if (!table.empty() && table.back() != '\n' && table.back() != '\r') table += "\r\n";
  table += line;
  table += "\r\n";
  return table;
}

std::string WithCrLfLineEnds(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      result += "\r\n";
    } else if (c == '\n') {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace platform

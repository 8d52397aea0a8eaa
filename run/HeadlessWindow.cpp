#include "run/HeadlessWindow.h"

namespace run {

namespace {

// Message texts break lines with a bare carriage return; a terminal wants line feeds.
std::string ForTerminal(const std::string& text) {
  std::string lines = text;
  for (char& character : lines) {
    if (character == '\r') {
      character = '\n';
    }
  }
  return lines;
}

}  // namespace

void HeadlessWindow::AppendConsoleLine(const std::string& line) { out_ << line << std::endl; }

RetryAnswer HeadlessWindow::AskRetry(const std::string& caption, const std::string& text) {
  errors_ << caption << ": " << ForTerminal(text) << std::endl;
  return RetryAnswer::Cancel;
}

void HeadlessWindow::ShowNotice(const std::string& text) { errors_ << ForTerminal(text) << std::endl; }

}  // namespace run

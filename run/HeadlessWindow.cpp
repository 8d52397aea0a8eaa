#include "run/HeadlessWindow.h"

namespace run {

namespace {

constexpr char kArchiveLabel[] = "Compactação";
constexpr char kUploadLabel[] = "Envio FTP";

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

void HeadlessWindow::ClearBar() {
  if (progress_) progress_->Clear();
}

void HeadlessWindow::EndBar() {
  if (progress_) progress_->End();
}

void HeadlessWindow::AppendConsoleLine(const std::string& line) {
  ClearBar();
  out_ << line << std::endl;
}

RetryAnswer HeadlessWindow::AskRetry(const std::string& caption, const std::string& text) {
  ClearBar();
  errors_ << caption << ": " << ForTerminal(text) << std::endl;
  return RetryAnswer::Cancel;
}

void HeadlessWindow::ShowNotice(const std::string& text) {
  ClearBar();
  errors_ << ForTerminal(text) << std::endl;
}

void HeadlessWindow::HideGauge() { EndBar(); }

// The gauge's maximum is set at the start of each transfer; only one of known size (the upload) gets a bar.
void HeadlessWindow::SetGaugeMaximum(std::int64_t maximum) {
  if (!progress_) return;
  if (maximum > 0) {
    progress_->Begin(kUploadLabel, maximum);
  } else {
    progress_->End();
  }
}

void HeadlessWindow::SetGaugeProgress(std::int64_t progress) {
  if (progress_) progress_->Update(progress);
}

void HeadlessWindow::ArchiveProgress(std::int64_t done, std::int64_t total) {
  if (!progress_) return;
  if (!progress_->Active()) progress_->Begin(kArchiveLabel, total);
  progress_->Update(done);
}

void HeadlessWindow::ArchiveEnded() { EndBar(); }

}  // namespace run

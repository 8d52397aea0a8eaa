#include "run/TerminalProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace run {
namespace {

constexpr int kBarWidth = 30;
constexpr double kRedrawPeriod = 0.1;
constexpr char kEraseToLineEnd[] = "\033[K";

// Bytes per second with one decimal, decimal comma as Brazilian Portuguese writes it.
std::string Rate(double bytesPerSecond) {
  const char* units[] = {"B/s", "KB/s", "MB/s", "GB/s"};
  int unit = 0;
  while (bytesPerSecond >= 1024 && unit < 3) {
    bytesPerSecond /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", bytesPerSecond, units[unit]);
  std::string rate = text;
  std::replace(rate.begin(), rate.end(), '.', ',');
  return rate;
}

std::string TwoDigits(long long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// "m:ss", or "h:mm:ss" from an hour on.
std::string Duration(double seconds) {
  const long long whole = std::llround(seconds);
  if (whole >= 3600)
    return std::to_string(whole / 3600) + ":" + TwoDigits(whole / 60 % 60) + ":" + TwoDigits(whole % 60);
  return std::to_string(whole / 60) + ":" + TwoDigits(whole % 60);
}

}  // namespace

std::string ProgressLine(const std::string& label, std::int64_t done, std::int64_t total, double seconds) {
  const double fraction =
      total > 0 ? std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0) : 0.0;
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string line = label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
  const std::string percent = std::to_string(static_cast<int>(fraction * 100)) + "%";
  line += std::string(4 - percent.size(), ' ') + percent;
  if (seconds > 0 && done > 0) {
    const double rate = static_cast<double>(done) / seconds;
    line += "  " + Rate(rate);
    if (done < total) line += "  faltam " + Duration(static_cast<double>(total - done) / rate);
  }
  return line;
}

TerminalProgress::TerminalProgress(std::ostream& out, SecondsClock now) : out_(out), now_(std::move(now)) {}

void TerminalProgress::Begin(const std::string& label, std::int64_t total) {
  End();
  label_ = label;
  total_ = total;
  done_ = 0;
  started_ = now_();
  updatedAt_ = started_;
  active_ = true;
  Draw();
}

void TerminalProgress::Update(std::int64_t done) {
  if (!active_) return;
  done_ = done;
  updatedAt_ = now_();
  if (!onScreen_ || done_ >= total_ || now_() - drawnAt_ >= kRedrawPeriod) Draw();
}

void TerminalProgress::End() {
  if (!active_) return;
  Draw();
  out_ << "\n" << std::flush;
  active_ = false;
  onScreen_ = false;
}

void TerminalProgress::Clear() {
  if (active_ && total_ > 0 && done_ >= total_) {
    End();
    return;
  }
  if (!onScreen_) return;
  out_ << "\r" << kEraseToLineEnd << std::flush;
  onScreen_ = false;
}

void TerminalProgress::Draw() {
  drawnAt_ = now_();
  // The rate of the bytes so far, up to when they were reported: a bar left standing keeps its figures.
  out_ << "\r" << ProgressLine(label_, done_, total_, updatedAt_ - started_) << kEraseToLineEnd << std::flush;
  onScreen_ = true;
}

}  // namespace run

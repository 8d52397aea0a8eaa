#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace run {

// A progress bar on one terminal line, for a person watching: label, bar, percentage, rate and the time
// left, redrawn in place with a carriage return. Only for a terminal: a log or a pipe gets none of it.
class TerminalProgress {
 public:
  // Seconds on a clock that only goes forward.
  using SecondsClock = std::function<double()>;

  TerminalProgress(std::ostream& out, SecondsClock now);

  // Starts a bar for `total` bytes (a bar already drawn ends first).
  void Begin(const std::string& label, std::int64_t total);
  // Moves the bar; redrawn at most ten times a second, and always at the end.
  void Update(std::int64_t done);
  // Leaves the bar as it stands on its own line.
  void End();
  // Makes room for another line: a finished bar stays on its own line (and ends), an unfinished one is
  // taken off the screen and drawn again at the next Update.
  void Clear();

  bool Active() const { return active_; }

 private:
  void Draw();

  std::ostream& out_;
  SecondsClock now_;
  std::string label_;
  std::int64_t total_ = 0;
  std::int64_t done_ = 0;
  double started_ = 0;
  double updatedAt_ = 0;
  double drawnAt_ = 0;
  bool active_ = false;
  bool onScreen_ = false;
};

// The bar's line for `done` of `total` bytes after `seconds`: "label [####....]  45%  12,3 MB/s  faltam
// 0:07".
std::string ProgressLine(const std::string& label, std::int64_t done, std::int64_t total, double seconds);

}  // namespace run

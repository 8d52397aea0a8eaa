#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "run/RunNames.h"

namespace run {

// The run log "BkpLog.txt": one block of Windows-1252 lines ended by CR LF appended per run. Every write
// is guarded: it returns false when the line could not be written, and the run goes on without it.
class RunLog {
 public:
  static constexpr std::string_view kFileName = "BkpLog.txt";

  // `folder` ends with the path separator.
  RunLog(const std::string& folder, platform::Clock& clock);

  // Opens the log for appending, creating it when missing, and writes the two header lines. When the
  // log cannot be opened the run goes on without it and every later write fails.
  void Open();

  bool WritePlain(std::string_view text);
  // The current local date and time "ddmmyyyy - hhmmss", then the message.
  bool WriteStamped(std::string_view message);
  // The moment the run started, in the same shape, then the message.
  bool WriteRunStamped(const RunStamp& stamp, std::string_view message);
  // The run's last line and the closing of the log, in one guard: a failed write leaves the log open.
  bool WriteStampedAndClose(std::string_view message);

  const std::string& Path() const { return path_; }

  // The stamped lines of this run as they were meant for the file (also when the file took none of them),
  // the first kMaxKeptRows of them: what a notice about the run quotes.
  static constexpr std::size_t kMaxKeptRows = 1000;
  const std::vector<std::string>& Rows() const { return rows_; }
  std::size_t RowsLeftOut() const { return rowsLeftOut_; }

 private:
  std::string path_;
  platform::Clock& clock_;
  std::ofstream file_;
  std::vector<std::string> rows_;
  std::size_t rowsLeftOut_ = 0;
};

}  // namespace run

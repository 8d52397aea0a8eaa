#include "run/RunLog.h"

#include "platform/Encoding.h"
#include "platform/Utf8Path.h"
#include "run/RunTexts.h"

namespace run {

RunLog::RunLog(const std::string& folder, platform::Clock& clock)
    : path_(folder + std::string(kFileName)), clock_(clock) {}

void RunLog::Open() {
  // Appending never truncates: an earlier block is kept even when the file cannot be read back.
  file_.open(platform::Utf8Path(path_), std::ios::binary | std::ios::app);
  if (WritePlain(texts::kLogHeaderBlank)) {
    WritePlain(texts::kLogHeaderRule);
  }
}

bool RunLog::WritePlain(std::string_view text) {
  if (!file_.is_open()) {
    return false;
  }
  // A line lost to a full disk must not cost the lines after it.
  file_.clear();
  file_ << platform::Utf8ToCp1252(text) << "\r\n";
  file_.flush();
  return file_.good();
}

bool RunLog::WriteStamped(std::string_view message) {
  const RunStamp now = MakeRunStamp(clock_.Now());
  return WriteRunStamped(now, message);
}

bool RunLog::WriteRunStamped(const RunStamp& stamp, std::string_view message) {
  std::string row = stamp.date + " - " + stamp.time + std::string(message);
  const bool written = WritePlain(row);
  if (rows_.size() < kMaxKeptRows) {
    rows_.push_back(std::move(row));
  } else {
    ++rowsLeftOut_;
  }
  return written;
}

bool RunLog::WriteStampedAndClose(std::string_view message) {
  if (!WriteStamped(message)) {
    return false;
  }
  file_.close();
  return !file_.fail();
}

}  // namespace run

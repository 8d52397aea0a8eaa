#include "run/FtpDeliveryNames.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <system_error>
#include <vector>

#include "platform/Exception.h"
#include "platform/Text.h"

namespace run {
namespace {

// The digits of `text` from `first` (counted from 1) for `count` characters, or -1 when any is missing or
// not a digit.
int DigitsAt(const std::string& text, std::size_t first, std::size_t count) {
  if (text.size() < first - 1 + count) return -1;
  int value = 0;
  for (std::size_t i = first - 1; i < first - 1 + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::string FtpExtension(const app::BackupSettings& settings) {
  return settings.CheckMudaExtensao ? settings.EdtExtensaoFTP : "rar";
}

std::string FtpListingMask(const app::BackupSettings& settings) { return "bkp*." + FtpExtension(settings); }

namespace {
constexpr std::string_view kTemporarySuffix = ".parcial";
}  // namespace

std::string FtpTemporaryName(const std::string& remoteName) {
  return remoteName + std::string(kTemporarySuffix);
}

std::string FtpTemporaryMask(const app::BackupSettings& settings) {
  return FtpListingMask(settings) + std::string(kTemporarySuffix);
}

std::string ListedName(std::string_view line) {
  const std::size_t start = line.find("bkp");
  if (start != std::string_view::npos) line.remove_prefix(start);
  return std::string(platform::Trim(line));
}

std::int64_t ListedSize(std::string_view line) {
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    fields.push_back(line.substr(0, end));
    line.remove_prefix(end);
  }
  // Type and permissions, links, owner, group, size, three date fields, the name.
  if (fields.size() < 9 || fields[0].size() != 10) return -1;
  std::int64_t size = -1;
  const std::string_view text = fields[4];
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), size);
  return failure == std::errc() && end == text.data() + text.size() ? size : -1;
}

std::int64_t NameDate(const std::string& listedName) {
  using namespace std::chrono;
  const int day = DigitsAt(listedName, 4, 2);
  const int month = DigitsAt(listedName, 6, 2);
  const int year = DigitsAt(listedName, 8, 4);
  const int hour = DigitsAt(listedName, 12, 2);
  const int minute = DigitsAt(listedName, 14, 2);
  const int second = DigitsAt(listedName, 16, 2);
  const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                            std::chrono::day(static_cast<unsigned>(day))};
  if (day < 0 || month < 0 || year < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
      second > 59 || !date.ok()) {
    throw platform::Exception("'" + listedName + "' holds no valid date and time");
  }
  return duration_cast<seconds>(sys_days(date).time_since_epoch()).count() + hour * 3600 + minute * 60 +
         second;
}

}  // namespace run

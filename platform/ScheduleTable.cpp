#include "platform/ScheduleTable.h"

#include <cerrno>
#include <cstring>

#include "platform/Encoding.h"
#include "platform/Errors.h"
#include "platform/FileContents.h"
#include "platform/Files.h"

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

namespace {

bool IsFieldBlank(char c) { return c == ' ' || c == '\t'; }

// The next blank-separated field of `rest`, taken off its front.
std::string_view TakeField(std::string_view& rest) {
  while (!rest.empty() && IsFieldBlank(rest.front())) rest.remove_prefix(1);
  std::size_t end = 0;
  while (end < rest.size() && !IsFieldBlank(rest[end])) ++end;
  const std::string_view field = rest.substr(0, end);
  rest.remove_prefix(end);
  return field;
}

std::optional<int> SmallNumber(std::string_view field) {
  if (field.empty() || field.size() > 2) return std::nullopt;
  int value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<DailyScheduleLine> ReadDailyScheduleLine(std::string_view line) {
  std::string_view rest = line;
  const std::optional<int> minute = SmallNumber(TakeField(rest));
  const std::optional<int> hour = SmallNumber(TakeField(rest));
  if (!minute || !hour) return std::nullopt;
  for (int i = 0; i < 3; ++i) {
    if (TakeField(rest) != "*") return std::nullopt;
  }
  while (!rest.empty() && IsFieldBlank(rest.front())) rest.remove_prefix(1);
  while (!rest.empty() && (IsFieldBlank(rest.back()) || rest.back() == '\r')) rest.remove_suffix(1);
  if (rest.empty()) return std::nullopt;
  return DailyScheduleLine{*minute, *hour, std::string(rest)};
}

std::string AppendScheduleLine(std::string table, std::string_view line) {
  if (!table.empty() && table.back() != '\n' && table.back() != '\r') table += "\r\n";
  table += line;
  table += "\r\n";
  return table;
}

std::unique_ptr<ScheduleTable> UserScheduleTable() { return UserScheduleTable(ExecutableFolder()); }

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

FileScheduleTable::FileScheduleTable(std::string tablePath, std::string backupPath,
                                     std::function<void()> openInstallerDownload)
    : tablePath_(std::move(tablePath)),
      backupPath_(std::move(backupPath)),
      openInstallerDownload_(std::move(openInstallerDownload)) {}

bool FileScheduleTable::Exists() { return FileExists(tablePath_); }

std::string FileScheduleTable::Load() {
  errno = 0;
  const std::optional<std::string> bytes = ReadFileBytes(tablePath_);
  if (!bytes) throw EFOpenError(tablePath_, std::strerror(errno ? errno : EIO));
  return WithCrLfLineEnds(Cp1252ToUtf8(*bytes));
}

void FileScheduleTable::Save(const std::string& text) {
  DeleteFile(backupPath_);
  MoveFile(tablePath_, backupPath_);
  errno = 0;
  // Written aside and renamed into place, so a failed write never leaves half a table.
  if (!ReplaceFileContents(tablePath_, Utf8ToCp1252(text))) {
    throw EFCreateError(tablePath_, std::strerror(errno ? errno : EIO));
  }
}

std::string FileScheduleTable::InstallRequest() {
  if (openInstallerDownload_) openInstallerDownload_();
  return "É necessário fazer o download do Agendador de Tarefas...\r Clique em Executar na próxima tela";
}

}  // namespace platform

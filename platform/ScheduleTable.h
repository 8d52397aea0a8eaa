#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The line that makes the scheduler start the program every day at the time of `timeText` ("hh:mm", the
// hour's first character possibly blank): minutes, blank, hours, " * * * ", the executable path as it
// stands, and " /noftp" when `noFtp` is set. Nothing is validated: blank positions stay blank.
std::string ComposeScheduleLine(std::string_view timeText, bool noFtp, std::string_view executablePath);

// What a daily line says: its minute and hour as numbers and the command after the five time fields.
struct DailyScheduleLine {
  int minute = 0;
  int hour = 0;
  std::string command;
};

// The daily line of `line` when it is one (decimal minute and hour, then " * * * " fields, then a
// command, blanks between as cron takes them); empty for every other line: comments, settings, other
// repetitions.
std::optional<DailyScheduleLine> ReadDailyScheduleLine(std::string_view line);

// Adds `line` as the new last line of `table`, ended by CR LF; a table whose last line has no line break
// gets one first.
std::string AppendScheduleLine(std::string table, std::string_view line);

// Lone CR, lone LF and CR LF all become CR LF.
std::string WithCrLfLineEnds(std::string_view text);

// The scheduler's table, as the schedule editor loads and saves it. Texts are UTF-8 with CR LF line ends
// on this side, whatever the scheduler keeps.
class ScheduleTable {
 public:
  virtual ~ScheduleTable() = default;
  // Whether the scheduler is installed.
  virtual bool Exists() = 0;
  // The whole table with CR LF line ends; throws platform::Exception "Cannot open file ..." when it
  // cannot be read.
  virtual std::string Load() = 0;
  // Keeps the current table as the backup (failures passed over), then replaces the table with `text`;
  // throws platform::Exception "Cannot create file ..." when the new table cannot be written.
  virtual void Save(const std::string& text) = 0;
  // What the user reads while the scheduler is missing; showing it may also start the scheduler's
  // download.
  virtual std::string InstallRequest() = 0;
};

// The table of the scheduler this platform uses, for the user running the program. Where the table's
// backup is not the scheduler's own (the user's crontab), it is kept in `backupFolder` (ending with the
// separator): the executable's folder unless given.
std::unique_ptr<ScheduleTable> UserScheduleTable();
std::unique_ptr<ScheduleTable> UserScheduleTable(const std::string& backupFolder);

// A table kept in a file of Windows-1252 text, as the Windows scheduler keeps it: saving deletes the
// backup, renames the table to the backup's name and writes the new table in its place.
class FileScheduleTable final : public ScheduleTable {
 public:
  // `openInstallerDownload` is called each time the install request is shown (it may be empty).
  FileScheduleTable(std::string tablePath, std::string backupPath,
                    std::function<void()> openInstallerDownload);
  bool Exists() override;
  std::string Load() override;
  void Save(const std::string& text) override;
  std::string InstallRequest() override;

 private:
  std::string tablePath_;
  std::string backupPath_;
  std::function<void()> openInstallerDownload_;
};

#ifndef _WIN32
// The user's crontab, read with `<crontabCommand> -l` and replaced with `<crontabCommand> FILE`; the
// previous table is kept in `backupPath`. The command is a parameter so that tests use a stand-in.
class CrontabScheduleTable final : public ScheduleTable {
 public:
  CrontabScheduleTable(std::string crontabCommand, std::string backupPath);
  bool Exists() override;
  std::string Load() override;
  void Save(const std::string& text) override;
  std::string InstallRequest() override;

 private:
  std::string crontabCommand_;
  std::string backupPath_;
};
#endif

}  // namespace platform

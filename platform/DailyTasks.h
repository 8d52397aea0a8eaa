#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ScheduleTable.h"

namespace platform {

// A task that starts a program every day at one time, as the system's task scheduler keeps it.
struct DailyTask {
  int hour = 0;
  int minute = 0;
  std::string program;
  std::string arguments;
  bool operator==(const DailyTask&) const = default;
};

// The most tasks the program keeps: their names run from "Backup 01" to "Backup 99".
inline constexpr std::size_t kMaxDailyTasks = 99;

// The tasks of the schedule editor's text, one per daily line ("mm hh * * * command"), in line order.
// Blank lines are skipped. The command is split into the program (a quoted path, or the text up to and
// including the first ".exe" followed by a blank or the end, or else the whole command) and its
// arguments. Any other line, and a time out of the day's range, throws platform::Exception naming the
// line: a task scheduler keeps nothing but tasks, so such a line could not be saved without being lost.
// More than kMaxDailyTasks lines throw too.
std::vector<DailyTask> DailyTasksFromTable(std::string_view table);

// The editor's text for `tasks`: one daily line each, in order, with CR LF line ends; a program path
// that holds a blank stays unquoted, as "Inserir" writes it.
std::string TableFromDailyTasks(const std::vector<DailyTask>& tasks);

// The name of the task at `index` (from 0) in the program's own task folder: "Backup 01", "Backup 02"...
// so that the folder lists them in the editor's order.
std::string DailyTaskName(std::size_t index);

// The program's own folder of the system's task scheduler.
class DailyTaskFolder {
 public:
  virtual ~DailyTaskFolder() = default;
  // Whether the task scheduler can be reached.
  virtual bool Available() = 0;
  // The folder's tasks in name order; throws platform::Exception when they cannot be read.
  virtual std::vector<DailyTask> Read() = 0;
  // Replaces the folder's tasks as a whole with `tasks`, named by DailyTaskName; on a failure the
  // previous tasks are put back and platform::Exception is thrown.
  virtual void Replace(const std::vector<DailyTask>& tasks) = 0;
};

// The schedule editor's table kept as the tasks of a task folder: loading shows them as daily lines,
// saving replaces them with the lines' tasks. "Abandonar" writes nothing, so the saved set stays.
class TaskFolderScheduleTable final : public ScheduleTable {
 public:
  explicit TaskFolderScheduleTable(std::unique_ptr<DailyTaskFolder> folder);
  bool Exists() override;
  std::string Load() override;
  void Save(const std::string& text) override;
  std::string InstallRequest() override;

 private:
  std::unique_ptr<DailyTaskFolder> folder_;
};

// The first of two tables whose scheduler is installed, chosen anew at each call: `preferred` (the
// cron-style scheduler's table) when it exists, else `fallback`; the install request is the preferred
// one's, for when neither is there.
class FirstInstalledScheduleTable final : public ScheduleTable {
 public:
  FirstInstalledScheduleTable(std::unique_ptr<ScheduleTable> preferred,
                              std::unique_ptr<ScheduleTable> fallback);
  bool Exists() override;
  std::string Load() override;
  void Save(const std::string& text) override;
  std::string InstallRequest() override;

 private:
  ScheduleTable& Chosen();

  std::unique_ptr<ScheduleTable> preferred_;
  std::unique_ptr<ScheduleTable> fallback_;
};

}  // namespace platform

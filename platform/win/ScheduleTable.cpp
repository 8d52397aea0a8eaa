#include "platform/ScheduleTable.h"

#include "platform/DailyTasks.h"
#include "platform/win/TaskSchedulerFolder.h"

#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

// After <windows.h>, which it needs.
#include <shellapi.h>

namespace platform {
namespace {

// The scheduler keeps its table, and we keep its backup, in the scheduler's own installation folder.
constexpr char kTablePath[] = "c:\\arquivos de programas\\cron\\cron.tab";
constexpr char kBackupPath[] = "c:\\arquivos de programas\\cron\\cron.bkp";
constexpr char kTaskFolder[] = "\\Torvi Backup";

// The default web browser downloads the scheduler's installer from the maker's site.
void OpenInstallerDownload() {
  const std::wstring address = win::Utf8ToWide(std::string("http://") + TORVI_SCHEDULER_DOWNLOAD_HOST +
                                               "/torvi/backup/nncronlt117.exe");
  ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

// The cron-style scheduler keeps its table and the backup in its own folder. Where it is not installed,
// the daily lines become tasks of the Task Scheduler that every Windows has, in a folder of our own.
std::unique_ptr<ScheduleTable> UserScheduleTable(const std::string&) {
  return std::make_unique<FirstInstalledScheduleTable>(
      std::make_unique<FileScheduleTable>(kTablePath, kBackupPath, OpenInstallerDownload),
      std::make_unique<TaskFolderScheduleTable>(win::TaskSchedulerFolder(kTaskFolder)));
}

}  // namespace platform

#include "platform/ScheduleTable.h"

#include "platform/win/SystemHeaders.h"
#include "platform/win/WideText.h"

// After <windows.h>, which it needs.
#include <shellapi.h>

namespace platform {
namespace {

// The scheduler keeps its table, and we keep its backup, in the scheduler's own installation folder.
constexpr char kTablePath[] = "c:\\arquivos de programas\\cron\\cron.tab";
constexpr char kBackupPath[] = "c:\\arquivos de programas\\cron\\cron.bkp";

// The default web browser downloads the scheduler's installer from the maker's site.
void OpenInstallerDownload() {
  const std::wstring address = win::Utf8ToWide(std::string("http://") + TORVI_SCHEDULER_DOWNLOAD_HOST +
                                               "/torvi/backup/nncronlt117.exe");
  ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

// The scheduler keeps its table and the backup in its own folder.
std::unique_ptr<ScheduleTable> UserScheduleTable(const std::string&) {
  return std::make_unique<FileScheduleTable>(kTablePath, kBackupPath, OpenInstallerDownload);
}

}  // namespace platform

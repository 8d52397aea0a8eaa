#pragma once

#include <memory>
#include <string>

#include "platform/DailyTasks.h"

namespace platform::win {

// The program's folder of the Windows Task Scheduler (`folderPath` such as "\\Torvi Backup", created on
// the first save). Its tasks start their program every day at their time in the user's own session, so
// the tray program shows on the desktop while it runs.
std::unique_ptr<DailyTaskFolder> TaskSchedulerFolder(std::string folderPath);

}  // namespace platform::win

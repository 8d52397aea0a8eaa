#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/DailyTasks.h"
#include "platform/Errors.h"
#include "platform/ScheduleTable.h"
#include "platform/win/TaskSchedulerFolder.h"

namespace {

// The test's Wine drive has no cron-style scheduler (asking to install one would open a browser): the
// user's table is then the Task Scheduler's folder, which a fresh prefix holds empty.
TEST(WinScheduleTable, WithoutTheCronTableTheTaskSchedulerIsUsed) {
  const auto table = platform::UserScheduleTable();
  ASSERT_TRUE(table->Exists());
  try {
    platform::FileScheduleTable("c:\\arquivos de programas\\cron\\cron.tab", "", {}).Load();
    FAIL() << "a missing table loaded";
  } catch (const platform::EFOpenError& error) {
    EXPECT_TRUE(
        error.Message().starts_with("Cannot open file \"c:\\arquivos de programas\\cron\\cron.tab\". "))
        << error.Message();
  }
}

// The real registration through the Task Scheduler's interfaces, in a folder of the test's own. Wine's
// scheduler registers, finds and deletes tasks by name but keeps neither their daily trigger nor their
// action (its task files hold the settings only), so what a task holds is read back only on Windows
// (the mapping both ways is tested with a double); here the tasks' files in the system's task folder
// show which tasks the folder holds.
TEST(WinTaskScheduler, TasksAreReplacedAsAWhole) {
  const std::string folderName = "Torvi Teste " + std::to_string(GetCurrentProcessId());
  const auto folder = platform::win::TaskSchedulerFolder("\\" + folderName);
  ASSERT_TRUE(folder->Available());
  EXPECT_TRUE(folder->Read().empty());

  wchar_t windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  const std::filesystem::path store = std::filesystem::path(windows) / "system32" / "tasks" / folderName;
  const auto held = [&] {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(store))
      names.insert(entry.path().filename().string());
    return names;
  };

  folder->Replace({{22, 30, "C:\\Programas Tõrvi\\VAzeduz.exe", "/noftp"},
                   {7, 5, "C:\\torvi\\VAzeduz.exe", ""},
                   {0, 0, "C:\\torvi\\VAzeduz.exe", ""}});
  EXPECT_EQ(held(), (std::set<std::string>{"Backup 01", "Backup 02", "Backup 03"}));

  folder->Replace({{23, 59, "C:\\torvi\\VAzeduz.exe", "/noftp"}});
  EXPECT_EQ(held(), std::set<std::string>{"Backup 01"});

  folder->Replace({});
  EXPECT_TRUE(held().empty());
  std::filesystem::remove(store);
}

}  // namespace

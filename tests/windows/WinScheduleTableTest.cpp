#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/ScheduleTable.h"

namespace {

// Only reads: the test's Wine drive has no scheduler, and asking to install one would open a browser.
TEST(WinScheduleTable, TheUsersTableIsTheSchedulersOwnFile) {
  const auto table = platform::UserScheduleTable();
  ASSERT_FALSE(table->Exists());
  try {
    table->Load();
    FAIL() << "a missing table loaded";
  } catch (const platform::EFOpenError& error) {
    EXPECT_TRUE(
        error.Message().starts_with("Cannot open file \"c:\\arquivos de programas\\cron\\cron.tab\". "))
        << error.Message();
  }
}

}  // namespace

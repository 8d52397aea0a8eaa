#include <gtest/gtest.h>

#include <ctime>

#include "platform/Clock.h"

namespace {

// The broken-down local time must be the C runtime's own reading of the same moment.
TEST(WinClock, NowIsTheLocalTimeOfTheRuntime) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t seconds = std::time(nullptr);
    const platform::LocalDateTime now = platform::SystemClock().Now();
    std::tm local{};
    ASSERT_EQ(localtime_s(&local, &seconds), 0);
    if (local.tm_sec != now.second) continue;  // the second turned over between the two readings
    EXPECT_EQ(now.year, local.tm_year + 1900);
    EXPECT_EQ(now.month, local.tm_mon + 1);
    EXPECT_EQ(now.day, local.tm_mday);
    EXPECT_EQ(now.hour, local.tm_hour);
    EXPECT_EQ(now.minute, local.tm_min);
    return;
  }
  FAIL() << "the seconds never agreed";
}

}  // namespace

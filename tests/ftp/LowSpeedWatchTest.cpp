#include <gtest/gtest.h>

#include <chrono>

#include "ftp/Exceptions.h"
#include "ftp/LowSpeedWatch.h"

namespace ftp {
namespace {

using Clock = TIdLowSpeedWatch::Clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

const Clock::time_point kStart = Clock::time_point() + seconds(1000);

TEST(LowSpeedWatch, EachPeriodMustMoveTheFloorTimesItsLength) {
  TIdLowSpeedWatch watch;
  watch.Start(kStart, 1024, 2);
  ASSERT_TRUE(watch.Active());
  EXPECT_EQ(watch.PeriodEnd(), kStart + seconds(2));
  watch.Count(2047);
  EXPECT_NO_THROW(watch.Check(kStart + milliseconds(1999))) << "judged only once the period is over";
  watch.Count(1);
  EXPECT_NO_THROW(watch.Check(kStart + seconds(2))) << "2048 bytes in 2 s is exactly the floor";
  EXPECT_EQ(watch.PeriodEnd(), kStart + seconds(4)) << "the next period starts";
  watch.Count(2047);
  EXPECT_THROW(watch.Check(kStart + seconds(4)), EIdTransferTooSlow) << "bytes do not carry over";
  EXPECT_FALSE(watch.Active());
}

TEST(LowSpeedWatch, ZeroInEitherValueSetsNoFloor) {
  for (const auto& [limit, time] : {std::pair{0, 120}, std::pair{1024, 0}}) {
    TIdLowSpeedWatch watch;
    watch.Start(kStart, limit, time);
    EXPECT_FALSE(watch.Active());
    EXPECT_NO_THROW(watch.Check(kStart + seconds(86400)));
  }
}

TEST(LowSpeedWatch, ItsErrorNamesTheFloor) {
  TIdLowSpeedWatch watch;
  watch.Start(kStart, 1024, 120);
  try {
    watch.Check(kStart + seconds(120));
    FAIL() << "no error";
  } catch (const EIdTransferTooSlow& error) {
    EXPECT_STREQ(error.what(), "Transferência abaixo do mínimo de 1024 bytes/s durante 120 s.");
  }
}

}  // namespace
}  // namespace ftp

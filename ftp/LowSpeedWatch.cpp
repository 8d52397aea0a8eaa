#include "ftp/LowSpeedWatch.h"

#include "ftp/Exceptions.h"

namespace ftp {

void TIdLowSpeedWatch::Start(Clock::time_point now, int bytesPerSecond, int seconds) {
  active_ = bytesPerSecond > 0 && seconds > 0;
  bytesPerSecond_ = bytesPerSecond;
  seconds_ = seconds;
  periodStart_ = now;
  periodBytes_ = 0;
}

void TIdLowSpeedWatch::Check(Clock::time_point now) {
  if (!active_ || now < PeriodEnd()) return;
  if (periodBytes_ < std::int64_t{bytesPerSecond_} * seconds_) {
    active_ = false;
    throw EIdTransferTooSlow(bytesPerSecond_, seconds_);
  }
  periodStart_ = now;
  periodBytes_ = 0;
}

}  // namespace ftp

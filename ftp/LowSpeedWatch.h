#pragma once

#include <chrono>
#include <cstdint>

namespace ftp {

// The low-speed floor of a data transfer, the way curl's low-speed limit works: in every period of
// `seconds` at least `bytesPerSecond` times `seconds` bytes must move, or the transfer fails. A trickle
// that beats each read timeout by a byte thus ends after one period instead of running for days.
class TIdLowSpeedWatch {
 public:
  using Clock = std::chrono::steady_clock;

  // Either value 0 (or less): no floor.
  void Start(Clock::time_point now, int bytesPerSecond, int seconds);
  void Stop() { active_ = false; }
  bool Active() const { return active_; }
  void Count(std::int64_t bytes) { periodBytes_ += bytes; }
  // Once a period is over: raises EIdTransferTooSlow when too few bytes moved in it, else starts the next.
  void Check(Clock::time_point now);
  Clock::time_point PeriodEnd() const { return periodStart_ + std::chrono::seconds(seconds_); }

 private:
  bool active_ = false;
  int bytesPerSecond_ = 0;
  int seconds_ = 0;
  Clock::time_point periodStart_;
  std::int64_t periodBytes_ = 0;
};

}  // namespace ftp

#pragma once

namespace platform {

// Local wall-clock time, broken down.
struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Time and sleeping reach the run from outside so that tests can set them.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() = 0;
};

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(int milliseconds) = 0;
};

class SystemClock final : public Clock {
 public:
  LocalDateTime Now() override;
};

class SystemSleeper final : public Sleeper {
 public:
  void Sleep(int milliseconds) override;
};

}  // namespace platform

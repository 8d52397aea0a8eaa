#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "run/DatabaseStage.h"
#include "run/DeliveryStage.h"
#include "run/RunWindow.h"

namespace runtest {

// The start of the tests' runs: 21:07:28 on 8 December 2026, so the run's files are bkp08122026210728.*.
inline constexpr platform::LocalDateTime kRunStart{2026, 12, 8, 21, 7, 28};

// A clock standing still at a set time, or moving on by `stepSeconds` at every reading.
class FakeClock final : public platform::Clock {
 public:
  explicit FakeClock(platform::LocalDateTime now) : now_(now) {}
  platform::LocalDateTime Now() override;
  void Set(platform::LocalDateTime now) { now_ = now; }
  void SetStep(int seconds) { stepSeconds_ = seconds; }

 private:
  platform::LocalDateTime now_;
  int stepSeconds_ = 0;
};

class FakeSleeper final : public platform::Sleeper {
 public:
  void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }
  std::vector<int> sleeps;
};

// Keeps every call as a line: console lines as they are, everything else as "[name]".
class RecordingWindow final : public run::RunWindow {
 public:
  void AppendConsoleLine(const std::string& line) override { console.push_back(line); }
  void ProcessMessages() override { ++messageRuns; }
  bool CanAskQuestions() const override { return true; }
  run::RetryAnswer AskRetry(const std::string&, const std::string&) override {
    return run::RetryAnswer::Cancel;
  }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void DisableRunButtons() override { buttonsDisabled = true; }
  void ShowGauge() override {}
  void HideGauge() override {}
  void SetGaugeMaximum(std::int64_t) override {}
  void SetGaugeProgress(std::int64_t) override {}
  void RequestEnd() override { endRequested = true; }

  std::vector<std::string> console;
  std::vector<std::string> notices;
  int messageRuns = 0;
  bool buttonsDisabled = false;
  bool endRequested = false;
};

// Stands in for the database server: runs `action` (by default writing `contents` at the server backup
// path, as a server on this machine would) and reports what it is told to.
class FakeDatabaseStage final : public run::DatabaseStage {
 public:
  run::DatabaseOutcome Perform(run::RunContext& context) override;

  std::function<void(run::RunContext&)> action;
  std::string contents = "backup bytes";
  run::DatabaseOutcome outcome = run::DatabaseOutcome::BackupWritten;
  int calls = 0;
};

// A delivery stage that records the order in which delivery stages were called.
class RecordingDelivery final : public run::DeliveryStage {
 public:
  RecordingDelivery(std::string name, std::vector<std::string>& calls, run::DeliveryOutcome outcome)
      : name_(std::move(name)), calls_(calls), outcome_(outcome) {}
  run::DeliveryOutcome Perform(run::RunContext&) override {
    calls_.push_back(name_);
    return outcome_;
  }

 private:
  std::string name_;
  std::vector<std::string>& calls_;
  run::DeliveryOutcome outcome_;
};

}  // namespace runtest

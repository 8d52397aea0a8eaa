#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/BackupSettings.h"
#include "platform/Files.h"
#include "run/RunContext.h"
#include "run/RunLog.h"
#include "run/RunNames.h"
#include "run/StatusConsole.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace deliverytest {

using runtest::kRunStart;
inline const std::string kArchiveName = "bkp08122026210728.rar";

// A window whose retry questions are answered from a list (Cancel once it is used up), keeping every
// question and every gauge call.
class AnsweringWindow final : public run::RunWindow {
 public:
  void AppendConsoleLine(const std::string& line) override { console.push_back(line); }
  void ProcessMessages() override { ++messageRuns; }
  bool CanAskQuestions() const override { return canAsk; }
  run::RetryAnswer AskRetry(const std::string& caption, const std::string& text) override {
    questions.push_back(caption + "|" + text);
    if (answers.empty()) return run::RetryAnswer::Cancel;
    const run::RetryAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void DisableRunButtons() override {}
  void ShowGauge() override { gauge.push_back("show"); }
  void HideGauge() override { gauge.push_back("hide"); }
  void SetGaugeMaximum(std::int64_t maximum) override { gauge.push_back("max " + std::to_string(maximum)); }
  void SetGaugeProgress(std::int64_t progress) override {
    gauge.push_back("progress " + std::to_string(progress));
  }
  void RequestEnd() override {}

  bool canAsk = true;
  std::deque<run::RetryAnswer> answers;
  std::vector<std::string> console;
  std::vector<std::string> questions;
  std::vector<std::string> notices;
  std::vector<std::string> gauge;
  int messageRuns = 0;
};

// One delivery stage with a run's names, log and console around it: the working folder holds the
// run's archive, written by Archive().
class DeliveryHarness {
 public:
  DeliveryHarness()
      : work_(folder_.Path() + "work" + platform::kPathSeparator),
        log_(folder_.Path(), clock_),
        console_(window, clock_) {
    std::filesystem::create_directories(work_);
    log_.Open();
  }

  const std::filesystem::path& Folder() const { return folder_.Root(); }
  const std::string& Work() const { return work_; }
  const run::RunNames& Names() const { return names_; }

  // Writes the local archive of the run.
  void Archive(const std::string& bytes) { testsupport::WriteBytes(work_ + kArchiveName, bytes); }

  template <typename Stage>
  run::DeliveryOutcome Perform(Stage& stage) {
    names_ = run::MakeRunNames(settings, run::MakeRunStamp(kRunStart), work_);
    run::RunContext context{settings, names_, log_, console_, window, clock_, sleeper, ceiling};
    return stage.Perform(context);
  }

  // The messages of the log lines the stage wrote, without the header and the time stamps.
  std::vector<std::string> LogMessages() const {
    const std::vector<std::string> lines = testsupport::LogLines(log_.Path());
    std::vector<std::string> messages;
    for (std::size_t i = 2; i < lines.size(); ++i) messages.push_back(lines[i].substr(17));
    return messages;
  }

  app::BackupSettings settings;
  AnsweringWindow window;
  runtest::FakeSleeper sleeper;
  run::RunCeiling ceiling;  // none unless a test sets one

 private:
  testsupport::TempFolder folder_;
  std::string work_;
  run::RunNames names_;
  runtest::FakeClock clock_{kRunStart};
  run::RunLog log_;
  run::StatusConsole console_;
};

}  // namespace deliverytest

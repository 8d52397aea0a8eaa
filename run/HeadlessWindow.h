#pragma once

#include <ostream>

#include "run/RunWindow.h"
#include "run/TerminalProgress.h"

namespace run {

// The run's window when there is no desktop: console lines go to `out` as they come, notices and
// questions to `errors`; nobody can answer, so every retry question is answered Cancel. With `progress`
// (standard output is a terminal), the archiving and the upload draw their bars there as well.
class HeadlessWindow final : public RunWindow {
 public:
  HeadlessWindow(std::ostream& out, std::ostream& errors, TerminalProgress* progress = nullptr)
      : out_(out), errors_(errors), progress_(progress) {}

  void AppendConsoleLine(const std::string& line) override;
  void ProcessMessages() override {}
  bool CanAskQuestions() const override { return false; }
  RetryAnswer AskRetry(const std::string& caption, const std::string& text) override;
  void ShowNotice(const std::string& text) override;
  void DisableRunButtons() override {}
  void ShowGauge() override {}
  void HideGauge() override;
  void SetGaugeMaximum(std::int64_t maximum) override;
  void SetGaugeProgress(std::int64_t progress) override;
  void ArchiveProgress(std::int64_t done, std::int64_t total) override;
  void ArchiveEnded() override;
  void RequestEnd() override { endRequested_ = true; }

  bool EndRequested() const { return endRequested_; }

 private:
  // Takes a bar off the screen before another line is written.
  void ClearBar();
  void EndBar();

  std::ostream& out_;
  std::ostream& errors_;
  TerminalProgress* progress_;
  bool endRequested_ = false;
};

}  // namespace run

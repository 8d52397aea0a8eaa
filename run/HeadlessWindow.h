#pragma once

#include <ostream>

#include "run/RunWindow.h"

namespace run {

// The run's window when there is no desktop: console lines go to `out` as they come, notices and
// questions to `errors`; nobody can answer, so every retry question is answered Cancel.
class HeadlessWindow final : public RunWindow {
 public:
  HeadlessWindow(std::ostream& out, std::ostream& errors) : out_(out), errors_(errors) {}

  void AppendConsoleLine(const std::string& line) override;
  void ProcessMessages() override {}
  bool CanAskQuestions() const override { return false; }
  RetryAnswer AskRetry(const std::string& caption, const std::string& text) override;
  void ShowNotice(const std::string& text) override;
  void DisableRunButtons() override {}
  void ShowGauge() override {}
  void HideGauge() override {}
  void SetGaugeMaximum(std::int64_t) override {}
  void SetGaugeProgress(std::int64_t) override {}
  void RequestEnd() override { endRequested_ = true; }

  bool EndRequested() const { return endRequested_; }

 private:
  std::ostream& out_;
  std::ostream& errors_;
  bool endRequested_ = false;
};

}  // namespace run

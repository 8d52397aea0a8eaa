#pragma once

#include <chrono>
#include <string>

#include "platform/Exception.h"

namespace run {

struct RunContext;

// The longest a run may take (Configuracao/TempoMaximoMinutos; 0: no ceiling). A server that hangs or
// trickles could otherwise hold an unattended run, and every run after it, for days: once the ceiling
// is reached the stage at work ends, the log says so, and the run goes to its end.
class RunCeiling {
 public:
  using Clock = std::chrono::steady_clock;

  // No ceiling.
  RunCeiling() = default;
  // Reached at `deadline`; `minutes` is what the log row names.
  RunCeiling(Clock::time_point deadline, int minutes) : deadline_(deadline), minutes_(minutes) {}
  // A ceiling of `minutes` from now; 0 or less (or more than ten years): none.
  static RunCeiling StartingNow(int minutes);
  static const RunCeiling& None();

  Clock::time_point Deadline() const { return deadline_; }
  bool Reached() const { return Clock::now() >= deadline_; }
  // " - Tempo máximo de execução (N minutos) atingido: etapa encerrada."
  std::string LogRow() const;

 private:
  Clock::time_point deadline_ = Clock::time_point::max();
  int minutes_ = 0;
};

// What a stage raises when the ceiling ends it where it cannot simply return.
class RunCeilingReached : public platform::Exception {
 public:
  explicit RunCeilingReached(const RunCeiling& ceiling) : platform::Exception(ceiling.LogRow().substr(3)) {}
};

// When the run's ceiling has been reached: writes its log row and returns true (the stage must end).
bool CeilingEndsStage(RunContext& context);

}  // namespace run

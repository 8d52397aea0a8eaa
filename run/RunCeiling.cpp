#include "run/RunCeiling.h"

#include "run/RunContext.h"

namespace run {

RunCeiling RunCeiling::StartingNow(int minutes) {
  // Beyond ten years the clock's arithmetic could overflow, and no run is waited for that long.
  constexpr int kLongest = 10 * 365 * 24 * 60;
  if (minutes <= 0 || minutes > kLongest) return {};
  return {Clock::now() + std::chrono::minutes(minutes), minutes};
}

const RunCeiling& RunCeiling::None() {
  static const RunCeiling none;
  return none;
}

std::string RunCeiling::LogRow() const {
  return " - Tempo máximo de execução (" + std::to_string(minutes_) + " minutos) atingido: etapa encerrada.";
}

bool CeilingEndsStage(RunContext& context) {
  if (!context.ceiling.Reached()) return false;
  context.log.WriteStamped(context.ceiling.LogRow());
  return true;
}

}  // namespace run

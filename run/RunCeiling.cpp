#include "run/RunCeiling.h"

#include "run/RunContext.h"

namespace run {

RunCeiling RunCeiling::StartingNow(int minutes) {
  if (minutes <= 0) return {};
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

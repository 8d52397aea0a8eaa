#pragma once

#include "run/HeadlessRun.h"

namespace cli {

enum ExitStatus : int {
  kExitDone = run::kExitRunSucceeded,
  kExitProblemFound = run::kExitRunFailed,  // "config check" found what would make a run fail
  kExitRunIncomplete = run::kExitNothingDelivered,
  kExitNoSettings = 3,
  kExitAnotherRunActive = run::kExitAnotherRunActive,
  kExitBadUsage = 64,
};

}  // namespace cli

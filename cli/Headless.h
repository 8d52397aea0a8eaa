#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "run/HeadlessRun.h"

namespace cli {

enum ExitStatus : int {
  kExitDone = run::kExitRunSucceeded,
  kExitRunIncomplete = run::kExitNothingDelivered,
  kExitNoSettings = 3,
  kExitAnotherRunActive = run::kExitAnotherRunActive,
  kExitBadUsage = 64,
};

// The whole program: parses `arguments` (those after the program name), then prints help or version,
// or performs the run; console lines go to `out`, notices and errors to `err`. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// One headless start with parsed options.
int RunHeadless(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace cli

#pragma once

#include <ostream>
#include <string>

#include "app/BackupSettings.h"
#include "run/BackupRun.h"

namespace run {

// Exit statuses of a headless run.
inline constexpr int kExitRunSucceeded = 0;
inline constexpr int kExitRunFailed = 1;         // the database stage (or writing the archiver) raised
inline constexpr int kExitNothingDelivered = 2;  // ended, but the backup is missing or a delivery failed
inline constexpr int kExitAnotherRunActive = 4;  // another run held the working folder: nothing was done

// 0 when the backup was written and archived and every enabled delivery succeeded, 4 when another run
// held the working folder, else 2.
int ExitStatus(const RunOutcome& outcome);

// Performs one run with the given window, stages and environment; an error that ends the run early is
// written to `errors`. Returns the exit status.
int PerformHeadlessRun(const app::BackupSettings& settings, RunWindow& window, RunStages stages,
                       RunEnvironment environment, std::ostream& errors);

// What torvi-backup calls: one run with this build's stages and archiver (run from the user's private
// folder), the system clock, "BkpLog.txt" in `configFolder` and the working folder `workFolder` (both
// ending with the separator), console lines on `out` and notices and errors on `errors`; with
// `progressBars` (`out` is a terminal) the archiving and the upload draw their bars on `out`. Returns the
// exit status.
int RunHeadless(const app::BackupSettings& settings, const std::string& configFolder,
                const std::string& workFolder, std::ostream& out, std::ostream& errors,
                bool progressBars = false);

}  // namespace run

#include "run/HeadlessRun.h"

#include <chrono>
#include <exception>

#include "platform/Clock.h"
#include "platform/PrivateFolder.h"
#include "run/Archiver.h"
#include "run/HeadlessWindow.h"
#include "run/StandardStages.h"

namespace run {

int ExitStatus(const RunOutcome& outcome) {
  if (outcome.anotherRunActive) return kExitAnotherRunActive;
  const bool backupArchived = outcome.database == DatabaseOutcome::BackupWritten && outcome.archiveCreated;
  const bool delivered =
      outcome.destination != DeliveryOutcome::NotDelivered && outcome.ftp != DeliveryOutcome::NotDelivered;
  return backupArchived && delivered ? kExitRunSucceeded : kExitNothingDelivered;
}

int PerformHeadlessRun(const app::BackupSettings& settings, RunWindow& window, RunStages stages,
                       RunEnvironment environment, std::ostream& errors) {
  try {
    BackupRun backupRun(settings, window, stages, std::move(environment));
    return ExitStatus(backupRun.Perform());
  } catch (const std::exception& error) {
    errors << error.what() << std::endl;
    return kExitRunFailed;
  }
}

int RunHeadless(const app::BackupSettings& settings, const std::string& configFolder,
                const std::string& workFolder, std::ostream& out, std::ostream& errors, bool progressBars) {
  platform::SystemClock clock;
  platform::SystemSleeper sleeper;
  TerminalProgress progress(out, [] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  });
  HeadlessWindow window(out, errors, progressBars ? &progress : nullptr);
  StandardStages stages(window);
  RunEnvironment environment{
      clock, sleeper, workFolder, configFolder, platform::UserPrivateFolder(), EmbeddedArchiver()};
  return PerformHeadlessRun(settings, window, stages.Stages(), std::move(environment), errors);
}

}  // namespace run

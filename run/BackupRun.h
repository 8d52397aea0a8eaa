#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/BackupSettings.h"
#include "platform/Clock.h"
#include "run/DatabaseStage.h"
#include "run/DeliveryStage.h"
#include "run/RunWindow.h"

namespace run {

// What a run takes from outside, so that tests can set it.
struct RunEnvironment {
  platform::Clock& clock;
  platform::Sleeper& sleeper;
  std::string workFolder;     // the backup file and the archive; ends with the separator
  std::string logFolder;      // the folder of "BkpLog.txt" (the executable's); ends with the separator
  std::string privateFolder;  // the user's own folder the archiver runs from; ends with the separator
  std::span<const std::byte> archiver;  // the archiver's bytes, put in the private folder (InstallArchiver)
};

struct RunStages {
  DatabaseStage& database;
  DeliveryStage& destination;
  DeliveryStage& ftp;
};

// Held by a run for its whole length in the working folder.
inline constexpr std::string_view kRunLockFileName = "torvi-backup.lock";

struct RunOutcome {
  DatabaseOutcome database = DatabaseOutcome::BackupWritten;
  bool archiveCreated = false;                 // the archive existed once the archiver had ended
  std::optional<DeliveryOutcome> destination;  // empty when CheckDestino is off
  std::optional<DeliveryOutcome> ftp;          // empty when CheckFTP is off
  bool anotherRunActive = false;               // another run held the working folder: nothing was done
};

// One backup run (the body of "Testar Backup"): log, working folder, database backup, archive,
// destination copy, FTP delivery, and the request to end the program. Errors of the database stage and
// a failure to write the archiver leave Perform as exceptions, before the end step.
class BackupRun {
 public:
  BackupRun(const app::BackupSettings& settings, RunWindow& window, RunStages stages,
            RunEnvironment environment);

  RunOutcome Perform();

 private:
  void PerformStages(RunOutcome& outcome);
  void CleanUp(const RunStamp& stamp, const std::string& mask, std::string_view failureLine);
  void BringBackupFromShare(RunContext& context);
  void Archive(RunContext& context, const std::string& archiverPath, RunOutcome& outcome);
  void Deliver(RunContext& context, RunOutcome& outcome);

  app::BackupSettings settings_;  // as they stood when the run started
  RunWindow& window_;
  RunStages stages_;
  RunEnvironment environment_;
  RunLog log_;
  StatusConsole console_;
};

}  // namespace run

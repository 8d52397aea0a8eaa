#pragma once

#include "run/RunContext.h"

namespace run {

enum class DatabaseOutcome { BackupWritten, BackupFileMissing };

// The database server writes the backup file at context.names.serverBackupPath: configure the backup
// component, attach, start, copy the verbose report to the console (then one empty line and let messages
// run) and, for "localhost" only, check that the file exists (log line of success, or the log line,
// notice and BackupFileMissing that send the run to its end step).
// Errors of the service client are not caught here: they end the run and reach its caller.
class DatabaseStage {
 public:
  virtual ~DatabaseStage() = default;
  virtual DatabaseOutcome Perform(RunContext& context) = 0;
};

}  // namespace run

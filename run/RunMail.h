#pragma once

#include <string>

#include "app/BackupSettings.h"
#include "run/BackupRun.h"
#include "run/RunLog.h"
#include "run/StatusConsole.h"

namespace run {

// How a run ended, as its notice tells it.
struct RunReport {
  bool completed = false;
  std::string reason;  // the first line of the notice
};

// Completed when the backup was written and archived and every enabled delivery arrived; otherwise the
// reasons, in the order of the stages.
RunReport ReportOf(const RunOutcome& outcome);
// A run that an error ended (the database stage, or the archiver that could not be written).
RunReport ReportOfError(const std::string& message);

// After a run: when CheckEnviaEmail is on and the run did not complete (or Email/Sempre is on), mails the
// report with the run's log rows to the addresses of EdtEmail. Whether it went or why not is one log row
// and one console line; nothing is raised, so the run ends as it would have.
void MailRunReport(const app::BackupSettings& settings, const RunReport& report, RunLog& log,
                   StatusConsole& console);

// Sends the test message of the "E-mail..." dialog and of --test-email; raises MailError. Returns the
// recipients as the notice names them.
std::string SendTestMail(const app::BackupSettings& settings);

}  // namespace run

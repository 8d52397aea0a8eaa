#include "run/BackupRun.h"

#include <filesystem>
#include <system_error>

#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Utf8Path.h"
#include "run/Archiver.h"
#include "run/RunTexts.h"

namespace run {

namespace {

// The share path and the local backup path may name one file (a share folder set to the working
// folder); deleting the "share copy" would then delete the backup itself.
bool SameFile(const std::string& first, const std::string& second) {
  if (first == second) {
    return true;
  }
  std::error_code error;
  return std::filesystem::equivalent(platform::Utf8Path(first), platform::Utf8Path(second), error);
}

}  // namespace

BackupRun::BackupRun(const app::BackupSettings& settings, RunWindow& window, RunStages stages,
                     RunEnvironment environment)
    : settings_(settings),
      window_(window),
      stages_(stages),
      environment_(std::move(environment)),
      log_(environment_.logFolder, environment_.clock),
      console_(window, environment_.clock) {}

RunOutcome BackupRun::Perform() {
  RunOutcome outcome;
  log_.Open();
  CreateWorkFolder();
  window_.DisableRunButtons();
  // One reading of the clock, so that date and time cannot straddle midnight.
  const RunStamp stamp = MakeRunStamp(environment_.clock.Now());
  const std::string& work = environment_.workFolder;
  WriteArchiverIfMissing(work + std::string(kArchiverFileName), environment_.archiver);
  log_.WriteRunStamped(stamp, texts::kLogRunStart);
  CleanUp(stamp, "*.bk", texts::kLogCannotDeleteBackup);
  CleanUp(stamp, "bk*.rar", texts::kLogCannotDeleteArchive);

  const RunNames names = MakeRunNames(settings_, stamp, work);
  log_.WriteStamped(std::string(texts::kLogCreatingFile) + names.serverBackupPath);
  const RunCeiling ceiling = RunCeiling::StartingNow(settings_.TempoMaximoMinutos);
  RunContext context{settings_, names, log_, console_, window_, environment_.clock, environment_.sleeper,
                     ceiling};

  outcome.database = stages_.database.Perform(context);
  if (outcome.database == DatabaseOutcome::BackupWritten) {
    console_.AppendTimed(texts::kConsoleBackupCreated);
    window_.ProcessMessages();
    BringBackupFromShare(context);
    Archive(context, outcome);
    Deliver(context, outcome);
  }

  log_.WriteStampedAndClose(texts::kLogRunEnd);
  window_.RequestEnd();
  return outcome;
}

void BackupRun::CreateWorkFolder() {
  std::string folder = environment_.workFolder;
  while (!folder.empty() && folder.back() == platform::kPathSeparator) {
    folder.pop_back();
  }
  const std::size_t lastSeparator = folder.rfind(platform::kPathSeparator);
  if (lastSeparator != std::string::npos && lastSeparator > 0) {
    platform::CreateFolder(folder.substr(0, lastSeparator));
  }
  platform::CreateFolder(folder);
}

void BackupRun::CleanUp(const RunStamp& stamp, const std::string& mask, std::string_view failureLine) {
  const std::string& work = environment_.workFolder;
  for (const platform::FoundEntry& entry : platform::FindFiles(work + mask)) {
    if (entry.isFolder || platform::DeleteFile(work + entry.name)) {
      continue;
    }
    if (log_.WriteRunStamped(stamp, failureLine)) {
      window_.ProcessMessages();
    }
  }
}

void BackupRun::BringBackupFromShare(RunContext& context) {
  const RunNames& names = context.names;
  // The file on the share is deleted only when it is not the backup itself and, for a remote server,
  // only once it has been copied: a failed copy must not cost the only copy of the backup.
  bool keepShareFile = SameFile(names.sharePath, names.localBackupPath);
  if (!IsLocalServer(settings_)) {
    console_.AppendTimed(texts::kConsoleTransferring);
    log_.WriteStamped(texts::kLogTransferringFromServer);
    window_.ProcessMessages();
    if (!platform::CopyFile(names.sharePath, names.localBackupPath)) {
      keepShareFile = true;
    }
    log_.WriteStamped(texts::kLogTransferEnded);
    console_.AppendTimed(texts::kConsoleTransferEnded);
    window_.ProcessMessages();
  }
  console_.AppendPlain(texts::kConsoleSeparator);
  window_.ProcessMessages();
  if (!keepShareFile) {
    platform::DeleteFile(names.sharePath);
  }
}

void BackupRun::Archive(RunContext& context, RunOutcome& outcome) {
  console_.AppendTimed(texts::kConsoleCompressing);
  log_.WriteStamped(texts::kLogStartingCompression);
  window_.ProcessMessages();
  // The archiver's exit code is not examined; only whether the archive exists is kept for the caller.
  platform::RunAndWait(ArchiverCommandLine(context.names));
  outcome.archiveCreated = platform::FileExists(context.names.localArchivePath);
  console_.AppendTimed(texts::kConsoleCompressed);
  window_.ProcessMessages();
}

void BackupRun::Deliver(RunContext& context, RunOutcome& outcome) {
  // A stage the run's ceiling leaves no time for is not begun.
  if (settings_.CheckDestino) {
    outcome.destination =
        CeilingEndsStage(context) ? DeliveryOutcome::NotDelivered : stages_.destination.Perform(context);
  }
  if (settings_.CheckFTP) {
    outcome.ftp = CeilingEndsStage(context) ? DeliveryOutcome::NotDelivered : stages_.ftp.Perform(context);
  }
}

}  // namespace run

#include "run/BackupRun.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "platform/Files.h"
#include "platform/FolderLock.h"
#include "platform/Process.h"
#include "platform/Utf8Path.h"
#include "run/Archiver.h"
#include "run/RunMail.h"
#include "run/RunTexts.h"
#include "run/WorkFolder.h"

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

// How often the archiver's progress is looked at while it runs.
constexpr std::chrono::milliseconds kArchiveProgressPeriod{200};

// The size of a file; 0 when it cannot be told.
std::int64_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(platform::Utf8Path(path), error);
  return error ? 0 : static_cast<std::int64_t>(size);
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
  CreateWorkFolder(environment_.workFolder);
  window_.DisableRunButtons();
  // Two runs in one working folder would clean up, write and delete each other's files.
  const std::unique_ptr<platform::FolderLock> lock =
      platform::FolderLock::TryAcquire(environment_.workFolder + std::string(kRunLockFileName));
  if (!lock) {
    log_.WriteStampedAndClose(" - " + std::string(texts::kRunAlreadyActive));
    console_.AppendTimed(texts::kRunAlreadyActive);
    window_.RequestEnd();
    outcome.anotherRunActive = true;
    return outcome;
  }
  // An error ends the run here (no end step), but the notice still goes out.
  try {
    PerformStages(outcome);
  } catch (const std::exception& error) {
    MailRunReport(settings_, ReportOfError(error.what()), log_, console_);
    throw;
  }
  MailRunReport(settings_, ReportOf(outcome), log_, console_);

  log_.WriteStampedAndClose(texts::kLogRunEnd);
  window_.RequestEnd();
  return outcome;
}

void BackupRun::PerformStages(RunOutcome& outcome) {
  // One reading of the clock, so that date and time cannot straddle midnight.
  const RunStamp stamp = MakeRunStamp(environment_.clock.Now());
  const std::string& work = environment_.workFolder;
  const std::string archiverPath = InstallArchiver(environment_.privateFolder, environment_.archiver);
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
    Archive(context, archiverPath, outcome);
    Deliver(context, outcome);
  }
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
    // Others may write into the working folder: a link planted under the backup's name is replaced,
    // never written through.
    if (!platform::CopyToNewFile(names.sharePath, names.localBackupPath)) {
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

void BackupRun::Archive(RunContext& context, const std::string& archiverPath, RunOutcome& outcome) {
  console_.AppendTimed(texts::kConsoleCompressing);
  log_.WriteStamped(texts::kLogStartingCompression);
  window_.ProcessMessages();
  // Whether the archive exists is what counts; the archiver's exit code only explains a missing one.
  const std::int64_t total = FileSize(context.names.localBackupPath);
  // The password reaches the archiver on its standard input, as one line.
  const std::string& password = settings_.EdtSenhaCompactacao;
  const ArchiveEncryption encryption = password.empty()              ? ArchiveEncryption::None
                                       : settings_.CheckOcultarNomes ? ArchiveEncryption::DataAndNames
                                                                     : ArchiveEncryption::Data;
  const std::optional<std::string> passwordLine =
      password.empty() ? std::nullopt : std::optional<std::string>(password + "\n");
  const int exitCode = platform::RunAndWait(
      ArchiverCommandLine(archiverPath, context.names, encryption), passwordLine,
      [this, total](std::int64_t read) { window_.ArchiveProgress(std::min(read, total), total); },
      kArchiveProgressPeriod);
  outcome.archiveCreated = platform::FileExists(context.names.localArchivePath);
  if (outcome.archiveCreated) {
    window_.ArchiveProgress(total, total);
    if (encryption != ArchiveEncryption::None) {
      log_.WriteStamped(encryption == ArchiveEncryption::Data ? texts::kLogArchiveEncrypted
                                                              : texts::kLogArchiveEncryptedWithNames);
    }
  } else {
    log_.WriteStamped(std::string(texts::kLogArchiveNotCreated) + std::to_string(exitCode) + ").");
  }
  window_.ArchiveEnded();
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

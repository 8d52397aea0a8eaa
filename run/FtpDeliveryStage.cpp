#include "run/FtpDeliveryStage.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "ftp/Exceptions.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Utf8Path.h"
#include "run/FtpBoundRow.h"
#include "run/FtpDeliveryNames.h"
#include "run/RunTexts.h"

namespace run {
namespace {

// The keep count, read anew at every test. Zero (or less) keeps every archive on the server.
int KeepCount(const app::BackupSettings& settings) { return platform::StrToInt(settings.edtarquivosftp); }

std::string AttemptLine(int attempt) {
  return std::string(texts::kConsoleFtpAttemptBefore) + std::to_string(attempt) +
         std::string(texts::kConsoleFtpAttemptAfter);
}

// Holds back a client's work events for a while and gives them back: the listings after the upload
// would otherwise move the gauge from the upload's 100 % back to 0 %.
class WorkEventsPaused {
 public:
  explicit WorkEventsPaused(ftp::TIdComponent& component)
      : component_(component),
        begin_(std::exchange(component.OnWorkBegin, {})),
        work_(std::exchange(component.OnWork, {})),
        end_(std::exchange(component.OnWorkEnd, {})) {}
  ~WorkEventsPaused() {
    component_.OnWorkBegin = std::move(begin_);
    component_.OnWork = std::move(work_);
    component_.OnWorkEnd = std::move(end_);
  }
  WorkEventsPaused(const WorkEventsPaused&) = delete;
  WorkEventsPaused& operator=(const WorkEventsPaused&) = delete;

 private:
  ftp::TIdComponent& component_;
  ftp::TWorkBeginEvent begin_;
  ftp::TWorkEvent work_;
  ftp::TWorkEndEvent end_;
};

}  // namespace

std::unique_ptr<ftp::TIdFTP> MakeIdFTP1() {
  auto client = std::make_unique<ftp::TIdFTP>();
  client->ReadTimeout = ftp::kProgramReadTimeout;
  client->LowSpeedLimit = ftp::kProgramLowSpeedLimit;
  client->LowSpeedTime = ftp::kProgramLowSpeedTime;
  return client;
}

void ConfigureFtpClient(ftp::TIdFTP& client, const app::BackupSettings& settings) {
  client.Passive = settings.ComboBox1 != 0;
  client.Host = settings.EdtServidorFTP;
  client.Username = settings.EdtUsuarioFTP;
  client.Password = settings.EdtSenhaFTP;
  client.Port = platform::StrToInt(settings.EdtPortaFTP);
  client.UseTLS = settings.ComboSeguranca == 2   ? ftp::TIdUseTLS::utUseImplicitTLS
                  : settings.ComboSeguranca == 1 ? ftp::TIdUseTLS::utUseExplicitTLS
                                                 : ftp::TIdUseTLS::utNoTLSSupport;
  client.PinnedFingerprint = settings.CertificadoFTP;
  // A deadline belongs to the run that set it, not to the connections after it.
  client.Deadline = ftp::TIdFTP::Clock::time_point::max();
}

void ListMatching(ftp::TIdFTP& client, std::vector<std::string>& lines, const std::string& mask) {
  lines.clear();
  try {
    client.ListFolder(&lines, mask, true);
  } catch (const ftp::EIdProtocolReplyError& error) {
    if (error.ReplyCode() != 450 && error.ReplyCode() != 550) throw;
    std::vector<std::string> everything;
    client.ListFolder(&everything, "", true);
    for (std::string& line : everything) {
      if (platform::MatchesWildcard(ListedName(line), mask)) lines.push_back(std::move(line));
    }
  }
}

DeliveryOutcome FtpDeliveryStage::Perform(RunContext& context) {
  const bool automatic = context.settings.Check_ErroFTP || !context.window.CanAskQuestions();
  int attempt = 1;
  for (;;) {
    context.log.WriteStamped(texts::kLogFtpAttempt);
    try {
      context.console.AppendTimed(AttemptLine(attempt));
      context.window.ProcessMessages();
      Attempt(context);
      context.log.WriteStamped(texts::kLogFtpSent);
      context.console.AppendTimed(texts::kConsoleFtpSent);
      context.window.ProcessMessages();
      return DeliveryOutcome::Delivered;
    } catch (const std::exception& error) {
      // The error's own text is not shown: the user gets the fixed question. A server that went past a
      // bound is named in the log, and the run's ceiling ends the stage at once.
      if (!context.ceiling.Reached()) {
        if (const std::optional<std::string> row = FtpBoundRow(error, IdFTP1)) context.log.WriteStamped(*row);
      }
      if (CeilingEndsStage(context)) {
        context.log.WriteStamped(texts::kLogFtpFailed);
        return DeliveryOutcome::NotDelivered;
      }
      DiscardPendingTemporary();
      bool givenUp;
      if (!automatic) {
        givenUp = context.window.AskRetry(kFtpQuestionCaption, kFtpQuestionText) == RetryAnswer::Cancel;
      } else if (attempt >= kAutomaticAttempts) {
        givenUp = true;
      } else {
        ++attempt;
        context.sleeper.Sleep(kRetryPauseMilliseconds);
        givenUp = false;
      }
      if (givenUp) context.log.WriteStamped(texts::kLogFtpGivenUp);
      context.log.WriteStamped(texts::kLogFtpFailed);
      if (givenUp) return DeliveryOutcome::NotDelivered;
    }
  }
}

void FtpDeliveryStage::Attempt(RunContext& context) {
  const app::BackupSettings& settings = context.settings;
  IdFTP1.CloseConnection();
  ConfigureFtpClient(IdFTP1, settings);
  const int keep = KeepCount(settings);
  IdFTP1.Deadline = context.ceiling.Deadline();
  IdFTP1.ConnectAndLogin(true, ftp::WaitDefault);
  EnterDeliveryFolder(IdFTP1, settings.EdtPastaFTP);

  context.console.AppendTimed(texts::kConsoleFtpTransferring);
  context.window.ProcessMessages();
  UploadVerified(context);
  const WorkEventsPaused gaugeShowsTheUpload(IdFTP1);
  try {
    RemoveTemporaryLeftovers(context);
    ApplyRetention(context, keep);
  } catch (const std::exception& error) {
    // The new archive is complete on the server: a listing or a delete that fails costs space, never the
    // delivery.
    context.log.WriteStamped(std::string(texts::kLogFtpRetentionFailed) + error.what());
  }
}

void FtpDeliveryStage::UploadVerified(RunContext& context) {
  const std::string& remoteName = context.names.remoteName;
  if (renameRefused_) {
    UploadAndCheckSize(context, remoteName);
    return;
  }
  const std::string temporaryName = FtpTemporaryName(remoteName);
  pendingTemporary_ = temporaryName;
  UploadAndCheckSize(context, temporaryName);
  try {
    IdFTP1.RenameFile(temporaryName, remoteName);
  } catch (const ftp::EIdProtocolReplyError& error) {
    if (!ftp::IsUnknownCommandReply(error.ReplyCode())) throw;
    // A server without renames gets the archive under its final name, checked the same way.
    renameRefused_ = true;
    DeleteQuietly(temporaryName);
    UploadAndCheckSize(context, remoteName);
  }
  pendingTemporary_.clear();
}

void FtpDeliveryStage::UploadAndCheckSize(RunContext& context, const std::string& name) {
  const std::string& localPath = context.names.localArchivePath;
  try {
    IdFTP1.UploadFile(localPath, name, false);
  } catch (const ftp::EIdProtocolReplyError& error) {
    if (error.ReplyCode() != 452 && error.ReplyCode() != 552) throw;
    // The server is out of space: one earlier archive makes room, as long as one stays, then one more try.
    DeleteQuietly(name);
    if (!DeleteOldestForSpace(context)) throw;
    IdFTP1.UploadFile(localPath, name, false);
  }
  std::error_code ignored;
  const auto sent =
      static_cast<std::int64_t>(std::filesystem::file_size(platform::Utf8Path(localPath), ignored));
  const std::int64_t held = ServerFileSize(name);
  if (held < 0) {
    context.log.WriteStamped(std::string(texts::kLogFtpSizeUnknown) + name);
  } else if (held != sent) {
    throw platform::Exception("O servidor guardou " + std::to_string(held) + " bytes de " + name + ", mas " +
                              std::to_string(sent) + " foram enviados.");
  }
}

std::int64_t FtpDeliveryStage::ServerFileSize(const std::string& name) {
  const std::int64_t size = IdFTP1.FileSize(name);
  if (size >= 0) return size;
  std::vector<std::string> lines;
  IdFTP1.ListFolder(&lines, name, true);
  return lines.size() == 1 ? ListedSize(lines.front()) : -1;
}

void FtpDeliveryStage::DeleteQuietly(const std::string& name) {
  try {
    IdFTP1.DeleteRemoteFile(name);
  } catch (const std::exception&) {
    // Best effort: the next successful attempt clears what is left.
  }
}

void FtpDeliveryStage::DiscardPendingTemporary() {
  if (pendingTemporary_.empty()) return;
  if (IdFTP1.IsConnected()) DeleteQuietly(pendingTemporary_);
  pendingTemporary_.clear();
}

void FtpDeliveryStage::RemoveTemporaryLeftovers(RunContext& context) {
  const std::string mask = FtpTemporaryMask(context.settings);
  std::vector<std::string> lines;
  ListMatching(IdFTP1, lines, mask);
  for (const std::string& line : lines) {
    // Checked here too: some servers list the whole folder whatever the mask.
    const std::string name = ListedName(line);
    if (platform::MatchesWildcard(name, mask)) DeleteQuietly(name);
  }
}

std::vector<FtpDeliveryStage::DatedArchive> FtpDeliveryStage::EarlierArchives(RunContext& context) {
  const std::string mask = FtpListingMask(context.settings);
  ListMatching(IdFTP1, Memo2, mask);
  std::vector<DatedArchive> archives;
  for (const std::string& line : Memo2) {
    const std::string name = ListedName(line);
    if (name == context.names.remoteName || !platform::MatchesWildcard(name, mask)) continue;
    try {
      archives.push_back({NameDate(name), name});
    } catch (const platform::Exception&) {
      // Not one of ours (a renamed copy, a user's file): never counted, never deleted.
      if (undatedReported_.insert(name).second) {
        context.log.WriteStamped(std::string(texts::kLogFtpUndatedName) + name);
      }
    }
  }
  return archives;
}

void FtpDeliveryStage::ApplyRetention(RunContext& context, int keep) {
  if (keep <= 0) return;
  // The new archive counts as one of those kept and is never deleted.
  for (std::vector<DatedArchive> earlier = EarlierArchives(context);
       static_cast<int>(earlier.size()) + 1 > keep;) {
    const std::size_t countBefore = earlier.size();
    const std::string deleted = DeleteOldest(earlier);
    earlier = EarlierArchives(context);
    // A server that acknowledges the delete but keeps the file would hold the attempt here for ever.
    if (earlier.size() >= countBefore) {
      throw platform::Exception("O servidor confirmou a exclusão de \"" + deleted +
                                "\", mas o arquivo continua na pasta.");
    }
  }
}

bool FtpDeliveryStage::DeleteOldestForSpace(RunContext& context) {
  const std::vector<DatedArchive> earlier = EarlierArchives(context);
  if (earlier.size() < 2) return false;
  DeleteOldest(earlier);
  return true;
}

std::string FtpDeliveryStage::DeleteOldest(const std::vector<DatedArchive>& archives) {
  // Of equal dates the one listed first goes.
  const auto oldest =
      std::min_element(archives.begin(), archives.end(),
                       [](const DatedArchive& a, const DatedArchive& b) { return a.date < b.date; });
  IdFTP1.DeleteRemoteFile(oldest->name);
  return oldest->name;
}

void EnterDeliveryFolder(ftp::TIdFTP& client, const std::string& folder) {
  // No folder set means the login folder: servers refuse "CWD" without a name.
  if (folder.empty()) return;
  // Each level is made in turn (most servers make one level per MKD); an error is passed over, as the
  // folder is most often there already.
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string level = folder.substr(0, end);
    if (level.back() != '/') {
      try {
        client.CreateFolder(level);
      } catch (const ftp::EIdException&) {
      }
    }
    if (end == std::string::npos) break;
  }
  client.EnterFolder(folder);
}

}  // namespace run

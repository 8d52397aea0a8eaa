#include "run/FtpDeliveryStage.h"

#include <exception>

#include "ftp/Exceptions.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "platform/Files.h"
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
  IdFTP1.Deadline = context.ceiling.Deadline();
  IdFTP1.ConnectAndLogin(true, ftp::WaitDefault);
  // No folder set means the login folder: servers refuse "CWD" without a name, which would fail every
  // attempt.
  if (!settings.EdtPastaFTP.empty()) {
    try {
      IdFTP1.CreateFolder(settings.EdtPastaFTP);
    } catch (const ftp::EIdException&) {
      // Most often the folder is there already.
    }
    IdFTP1.EnterFolder(settings.EdtPastaFTP);
  }

  const std::string mask = FtpListingMask(settings);
  ListMatching(IdFTP1, Memo2, mask);
  for (int keep = KeepCount(settings); keep > 0 && static_cast<int>(Memo2.size()) >= keep;
       keep = KeepCount(settings)) {
    const std::size_t listedBefore = Memo2.size();
    const std::string deleted = DeleteOldest();
    ListMatching(IdFTP1, Memo2, mask);
    // A server that acknowledges the delete but keeps the file would hold the attempt here for ever.
    if (Memo2.size() >= listedBefore) {
      throw platform::Exception("O servidor confirmou a exclusão de \"" + deleted +
                                "\", mas o arquivo continua na pasta.");
    }
  }

  context.console.AppendTimed(texts::kConsoleFtpTransferring);
  context.window.ProcessMessages();
  IdFTP1.UploadFile(context.names.localArchivePath, FtpRemotePath(settings, context.names.remoteName), false);
}

std::string FtpDeliveryStage::DeleteOldest() {
  std::int64_t oldestTime = NameDate("bkp31123000000000");
  std::string oldestName;
  for (const std::string& line : Memo2) {
    const std::string name = ListedName(line);
    const std::int64_t date = NameDate(name);
    if (date < oldestTime) {
      oldestTime = date;
      oldestName = name;
    }
  }
  IdFTP1.DeleteRemoteFile(oldestName);
  return oldestName;
}

}  // namespace run

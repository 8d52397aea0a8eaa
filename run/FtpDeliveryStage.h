#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ftp/FTP.h"
#include "run/DeliveryStage.h"

namespace run {

// The FTP client a program creates once and keeps for its life (IdFTP1): binary transfers, the
// program's read timeout and low-speed floor.
std::unique_ptr<ftp::TIdFTP> MakeIdFTP1();

// Sets up `client` from the settings for a new connection: Passive from ComboBox1 (index 0 active, any
// other passive), Host, Username, Password and Port (EdtPortaFTP, a decimal integer; raises when it is not),
// TLS from ComboSeguranca with the pin CertificadoFTP, and no deadline.
void ConfigureFtpClient(ftp::TIdFTP& client, const app::BackupSettings& settings);

// Lists the entries matching `mask` with details into `lines`. A server that refuses the mask (450 or
// 550: some answer so when nothing matches, some never expand masks) is asked for the whole folder, of
// which the lines whose listed name matches the mask (letter case ignored) are kept.
void ListMatching(ftp::TIdFTP& client, std::vector<std::string>& lines, const std::string& mask);

// Creates each level of `folder` (errors passed over) and enters it; nothing when it is empty (the login
// folder). The delivery and the connection test both go through here, so they agree on where files go.
void EnterDeliveryFolder(ftp::TIdFTP& client, const std::string& folder);

// The delivery by FTP with the window's FTP client. Each attempt logs in, enters EdtPastaFTP and uploads
// the archive under a temporary name, checks its size on the server and renames it to the remote name;
// only then are the archives with the oldest name dates deleted while more than edtarquivosftp remain
// (never the new one, never a name without a date). A server out of space gives up its oldest archive
// (while two remain) for one more try; a server without renames gets the archive under its final name.
class FtpDeliveryStage final : public DeliveryStage {
 public:
  static constexpr int kAutomaticAttempts = 3;
  static constexpr int kRetryPauseMilliseconds = 10000;

  explicit FtpDeliveryStage(ftp::TIdFTP& client) : IdFTP1(client) {}

  DeliveryOutcome Perform(RunContext& context) override;

 private:
  struct DatedArchive {
    std::int64_t date;
    std::string name;
  };

  void Attempt(RunContext& context);
  void UploadVerified(RunContext& context);
  // Uploads the local archive as `name` and fails when the server holds another size.
  void UploadAndCheckSize(RunContext& context, const std::string& name);
  // SIZE, else the size of the LIST line, else -1.
  std::int64_t ServerFileSize(const std::string& name);
  void DeleteQuietly(const std::string& name);
  // After a failed attempt: this attempt's temporary file, when the connection still stands.
  void DiscardPendingTemporary();
  void RemoveTemporaryLeftovers(RunContext& context);
  // The archives listed in the folder with a date in their names, other than this run's; names without
  // one are logged once per run.
  std::vector<DatedArchive> EarlierArchives(RunContext& context);
  void ApplyRetention(RunContext& context, int keep);
  // Deletes the oldest earlier archive when at least two are there; false when none was deleted.
  bool DeleteOldestForSpace(RunContext& context);
  // Deletes the archive with the oldest name date and returns its name.
  std::string DeleteOldest(const std::vector<DatedArchive>& archives);

  ftp::TIdFTP& IdFTP1;
  std::vector<std::string> Memo2;  // the listing buffer
  std::string pendingTemporary_;   // the temporary name of an upload not yet renamed
  bool renameRefused_ = false;
  std::set<std::string> undatedReported_;
};

inline constexpr char kFtpQuestionCaption[] = "Falha na Conexão!";
inline constexpr char kFtpQuestionText[] =
    "Problemas na conexão com a Internet. Verifique se a conexão está disponível.\r"
    "Clique em OK para tentar novamente.";

}  // namespace run

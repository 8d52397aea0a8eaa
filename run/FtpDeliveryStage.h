#pragma once

#include <memory>
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
// and no deadline.
void ConfigureFtpClient(ftp::TIdFTP& client, const app::BackupSettings& settings);

// Lists the entries matching `mask` with details into `lines`. A server that refuses the mask (450 or
// 550: some answer so when nothing matches, some never expand masks) is asked for the whole folder, of
// which the lines whose listed name matches the mask (letter case ignored) are kept.
void ListMatching(ftp::TIdFTP& client, std::vector<std::string>& lines, const std::string& mask);

// The delivery by FTP with the window's FTP client: each attempt logs in, enters EdtPastaFTP, deletes the
// archives with the oldest name dates until fewer than edtarquivosftp remain (failing the attempt when a
// delete leaves the listing as long as before), and uploads the archive.
class FtpDeliveryStage final : public DeliveryStage {
 public:
  static constexpr int kAutomaticAttempts = 3;
  static constexpr int kRetryPauseMilliseconds = 10000;

  explicit FtpDeliveryStage(ftp::TIdFTP& client) : IdFTP1(client) {}

  DeliveryOutcome Perform(RunContext& context) override;

 private:
  void Attempt(RunContext& context);
  // Deletes the listed archive with the oldest name date and returns its name.
  std::string DeleteOldest();

  ftp::TIdFTP& IdFTP1;
  std::vector<std::string> Memo2;  // the listing buffer
};

inline constexpr char kFtpQuestionCaption[] = "Falha na Conexão!";
inline constexpr char kFtpQuestionText[] =
    "Problemas na conexão com a Internet. Verifique se a conexão está disponível.\r"
    "Clique em OK para tentar novamente.";

}  // namespace run

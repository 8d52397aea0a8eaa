#include "run/RunMail.h"

#include "platform/MachineName.h"
#include "platform/Text.h"
#include "run/MailSettings.h"

namespace run {
namespace {

constexpr std::string_view kMailSent = " - E-mail de aviso enviado para: ";    // + the recipients
constexpr std::string_view kMailNotSent = " - E-mail de aviso não enviado: ";  // + why

std::string Machine() {
  const std::string name = platform::MachineName();
  return name.empty() ? "(máquina sem nome)" : name;
}

std::string Joined(const std::vector<std::string>& addresses) {
  std::string joined;
  for (const std::string& address : addresses) joined += (joined.empty() ? "" : ", ") + address;
  return joined;
}

void AddReason(RunReport& report, std::string_view reason) {
  if (!report.reason.empty()) report.reason += " ";
  report.reason += reason;
}

// Sends to the recipients of the settings; returns them joined.
std::string Send(const app::BackupSettings& settings, const std::string& subject, const std::string& body) {
  const MailSetup setup = MailSetupOf(settings);
  SendMail(setup.server, MailMessage{setup.from, setup.to, subject, body});
  return Joined(setup.to);
}

std::string RunBody(const RunReport& report, const RunLog& log) {
  std::string body =
      report.reason + "\n\nRegistro desta execução (" + std::string(RunLog::kFileName) + "):\n";
  for (const std::string& row : log.Rows()) body += row + "\n";
  if (log.RowsLeftOut() > 0) body += "(mais " + std::to_string(log.RowsLeftOut()) + " linhas no arquivo)\n";
  return body;
}

}  // namespace

RunReport ReportOf(const RunOutcome& outcome) {
  RunReport report;
  if (outcome.database == DatabaseOutcome::BackupFileMissing) {
    AddReason(report, "O servidor não criou o arquivo de backup.");
  } else if (!outcome.archiveCreated) {
    AddReason(report, "O arquivo compactado não foi criado.");
  }
  if (outcome.destination == DeliveryOutcome::NotDelivered) {
    AddReason(report, "A cópia para o destino não foi feita.");
  }
  if (outcome.ftp == DeliveryOutcome::NotDelivered) AddReason(report, "O envio por FTP não foi concluído.");
  report.completed = report.reason.empty();
  if (report.completed) report.reason = "Backup concluído.";
  return report;
}

RunReport ReportOfError(const std::string& message) {
  // The reason is the notice's first line: the error's own lines are joined.
  return {false, "O backup foi interrompido por um erro: " + platform::OneLine(message)};
}

void MailRunReport(const app::BackupSettings& settings, const RunReport& report, RunLog& log,
                   StatusConsole& console) {
  if (!settings.CheckEnviaEmail || (report.completed && !settings.CheckEmailSempre)) return;
  const std::string subject =
      (report.completed ? "Backup concluído em " : "Backup NÃO concluído em ") + Machine();
  std::string row;
  try {
    row = std::string(kMailSent) + Send(settings, subject, RunBody(report, log));
  } catch (const MailError& error) {
    row = std::string(kMailNotSent) + error.Message();
  }
  log.WriteStamped(row);
  console.AppendTimed(row);
}

std::string SendTestMail(const app::BackupSettings& settings) {
  const std::string machine = Machine();
  return Send(settings, "Teste de e-mail do backup em " + machine,
              "Este é um e-mail de teste do Backup Ormelin em " + machine +
                  ".\nOs avisos de backup não concluído chegarão a este endereço.\n");
}

}  // namespace run

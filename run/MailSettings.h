#pragma once

#include <string>
#include <vector>

#include "app/BackupSettings.h"
#include "run/SmtpSender.h"

namespace run {

// True when the settings name a mail server (Email/Servidor): without one no mail is ever sent.
bool HasMailServer(const app::BackupSettings& settings);

// What the settings say about the server, the recipients (EdtEmail) and the sender (Email/Remetente, else
// the first recipient), checked: a missing server, a bad port or security value, a bad address or a
// control character in any field raises MailError naming the setting.
struct MailSetup {
  MailServer server;
  std::string from;
  std::vector<std::string> to;
};
MailSetup MailSetupOf(const app::BackupSettings& settings);

// Why the settings cannot send mail, as the window says it; empty when they can.
std::string MailSetupProblem(const app::BackupSettings& settings);

// Why the mail server fields (the section Email) cannot be kept as they are: a bad port, security value,
// sender or pin, or a control character in any of them; empty when they can (no server at all can).
std::string MailServerProblem(const app::BackupSettings& settings);

}  // namespace run

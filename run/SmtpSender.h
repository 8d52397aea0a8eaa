#pragma once

#include <string>

#include "platform/Exception.h"
#include "run/MailMessage.h"

namespace run {

// Where and how a mail is handed over: an SMTP server reached with libcurl.
struct MailServer {
  std::string host;
  int port = 587;
  int security = 1;  // app::EmailSecurity: 0 none, 1 STARTTLS, 2 TLS from the start
  std::string user;  // empty: no AUTH
  std::string password;
  // A pinned SHA-256 of the server's certificate: that certificate is accepted, whoever issued it, and no
  // other. Empty: the system's roots decide, and the name must match.
  std::string pin;
  // A file of roots to trust instead of the system's (tests); empty: the system's.
  std::string caFile;
  // The name this machine gives in EHLO.
  std::string clientName = "localhost";
  int connectTimeoutMs = 15000;
  // The whole exchange, greeting to QUIT: a server that stalls costs the run this much at most.
  int totalTimeoutMs = 60000;
};

// A mail that was not handed over; the message says why in the user's words.
class MailError final : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// Hands `message` to the server for every recipient, or raises MailError. Control characters in any
// field that reaches a command or a header (CR and LF above all) are refused before anything is sent.
void SendMail(const MailServer& server, const MailMessage& message);

}  // namespace run

#pragma once

#include <string>
#include <vector>

#include "platform/Exception.h"

namespace cli {

struct Options {
  std::string configFolder;  // empty: the executable's folder
  std::string workFolder;    // empty: the platform's working folder
  bool noFtp = false;
  bool testFtp = false;
  bool testEmail = false;
  bool trustCertificate = false;  // implies testFtp
  bool help = false;
  bool version = false;
  // A subcommand ("config ...", "schedule ...") and its words; empty for a backup run.
  std::vector<std::string> command;
};

// A command line that cannot be understood; the message says why.
class UsageError final : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// Parses the arguments after the program name: --config DIR, --work DIR (also --config=DIR,
// --work=DIR), --noftp, --test-ftp, --trust-certificate, --test-email, --help, --version, then optionally
// a subcommand ("config" or "schedule") whose words are taken as they stand. Folders given get their
// closing separator.
Options ParseOptions(const std::vector<std::string>& arguments);

// The folder with the platform's separator at its end, added when missing.
std::string WithClosingSeparator(std::string folder);

// The usage text printed by --help and after a usage error.
std::string UsageText();

}  // namespace cli

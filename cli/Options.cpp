#include "cli/Options.h"

#include "platform/Files.h"

namespace cli {
namespace {

// Takes the folder of an option given either as "--name=DIR" or as "--name" followed by DIR.
bool TakeFolder(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                std::string& folder) {
  const std::string& argument = arguments[i];
  std::string value;
  if (argument == name) {
    if (i + 1 == arguments.size()) throw UsageError(name + " needs a folder");
    value = arguments[++i];
  } else if (argument.starts_with(name + "=")) {
    value = argument.substr(name.size() + 1);
  } else {
    return false;
  }
  if (value.empty()) throw UsageError(name + " needs a folder");
  folder = WithClosingSeparator(value);
  return true;
}

}  // namespace

std::string WithClosingSeparator(std::string folder) {
  // Windows takes "/" as a separator as well.
  const bool closed = !folder.empty() && (folder.back() == platform::kPathSeparator || folder.back() == '/');
  if (!closed) folder += platform::kPathSeparator;
  return folder;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (TakeFolder(arguments, i, "--config", options.configFolder) ||
        TakeFolder(arguments, i, "--work", options.workFolder)) {
      continue;
    }
    if (argument == "--noftp") {
      options.noFtp = true;
    } else if (argument == "--test-ftp") {
      options.testFtp = true;
    } else if (argument == "--test-email") {
      options.testEmail = true;
    } else if (argument == "--trust-certificate") {
      options.testFtp = options.trustCertificate = true;
    } else if (argument == "--help") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "config" || argument == "schedule") {
      options.command.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
      break;
    } else {
      throw UsageError("unknown argument: " + argument);
    }
  }
  return options;
}

std::string UsageText() {
  return "usage: torvi-backup [--config DIR] [--work DIR] [--noftp] [--test-ftp [--trust-certificate]]\n"
         "                    [--test-email] [--help] [--version]\n"
         "       torvi-backup [--config DIR] [--work DIR] config show|init|check|set SECTION.KEY VALUE\n"
         "       torvi-backup [--config DIR] [--noftp] schedule list|add HH:MM|remove HH:MM\n"
         "  --config DIR  folder of Configuracaobkp.ini and BkpLog.txt (default: the program's folder)\n"
         "  --work DIR    working folder of the run (default: the platform's)\n"
         "  --noftp       no FTP delivery in this run (with schedule add: in the scheduled runs)\n"
         "  --test-ftp    test the FTP connection instead of running a backup; a server certificate that\n"
         "                does not verify is printed and fails the test (exit 2)\n"
         "  --trust-certificate  with --test-ftp: pin that certificate in FTP.Certificado and go on\n"
         "  --test-email  send the test e-mail of the [Email] settings instead of running a backup\n"
         "  config show   every setting (passwords as ********)\n"
         "  config set    one setting; a password given as - is read from the terminal without echo\n"
         "  config init   a new settings file with the initial values, asking at a terminal\n"
         "  config check  every setting checked as a run would use it\n"
         "  schedule      the daily start times in the user's crontab\n"
         "exit status: 0 done, 1 database stage failed or config check found a problem,\n"
         "             2 backup missing or a delivery failed, 3 no or unusable settings file,\n"
         "             64 bad usage or a value that cannot be stored\n";
}

}  // namespace cli

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
    } else if (argument == "--help") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else {
      throw UsageError("unknown argument: " + argument);
    }
  }
  return options;
}

std::string UsageText() {
  return "usage: torvi-backup [--config DIR] [--work DIR] [--noftp] [--test-ftp] [--help] [--version]\n"
         "  --config DIR  folder of Configuracaobkp.ini and BkpLog.txt (default: the program's folder)\n"
         "  --work DIR    working folder of the run (default: the platform's)\n"
         "  --noftp       no FTP delivery in this run\n"
         "  --test-ftp    test the FTP connection instead of running a backup\n"
         "exit status: 0 done, 1 database stage failed, 2 backup missing or a delivery failed,\n"
         "             3 no or unusable settings file, 64 bad usage\n";
}

}  // namespace cli

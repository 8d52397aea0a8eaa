#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace cli {

// The folders a command works with, both ending with the separator.
struct Folders {
  std::string config;  // Configuracaobkp.ini and BkpLog.txt
  std::string work;    // the run's working folder
};

// "config show|set|init|check ...": `words` are those after "config". Returns the exit status.
int RunConfigCommand(const std::vector<std::string>& words, const Folders& folders, Console& console);

}  // namespace cli

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/Options.h"

namespace cli {

// The whole program: parses `arguments` (those after the program name), then prints help or version,
// performs a subcommand or the run; console lines go to the console's output, notices and errors to its
// error stream, answers come from its input. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments, Console& console);
// The same with nobody to answer and no terminal.
int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// One headless start with parsed options.
int RunHeadless(const Options& options, Console& console);

}  // namespace cli

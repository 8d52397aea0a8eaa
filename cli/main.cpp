#include <iostream>

#include "cli/Headless.h"
#include "platform/Terminal.h"

int main(int argc, char** argv) {
  cli::StandardInput input;
  cli::Console console{input, std::cout, std::cerr, platform::StandardOutputIsTerminal()};
  return cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), console);
}

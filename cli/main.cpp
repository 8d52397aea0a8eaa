#include <iostream>

#include "cli/Headless.h"

int main(int argc, char** argv) {
  return cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

#include "platform/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <sstream>
#include <vector>

#include "platform/posix/SpawnArguments.h"

extern char** environ;

namespace platform {

int RunAndWait(const std::string& commandLine) {
  std::istringstream words(commandLine);
  std::vector<std::string> arguments;
  for (std::string word; words >> word;) arguments.push_back(word);
  if (arguments.empty()) return -1;
  const std::vector<char*> argv = SpawnArguments(arguments);

  pid_t child = 0;
  if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace platform

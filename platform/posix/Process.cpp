#include "platform/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <sstream>
#include <string_view>
#include <vector>

#include "platform/posix/SpawnArguments.h"

extern char** environ;

namespace platform {

int RunAndWait(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string_view rest = commandLine;
  if (rest.starts_with('"')) {
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return -1;
    arguments.emplace_back(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
  }
  std::istringstream words{std::string(rest)};
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

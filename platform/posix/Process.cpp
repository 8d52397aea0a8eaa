#include "platform/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/posix/SpawnArguments.h"

extern char** environ;

namespace platform {
namespace {

// The bytes a process has read, from Linux's per-process accounting; -1 where there is none.
std::int64_t BytesRead(pid_t process) {
  std::ifstream io("/proc/" + std::to_string(process) + "/io");
  std::string name;
  std::int64_t value = 0;
  while (io >> name >> value) {
    if (name == "rchar:") return value;
  }
  return -1;
}

}  // namespace

int RunAndWait(const std::string& commandLine) { return RunAndWait(commandLine, {}, {}); }

int RunAndWait(const std::string& commandLine, const ReadProgress& onRead, std::chrono::milliseconds period) {
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
  for (;;) {
    const pid_t waited = ::waitpid(child, &status, onRead ? WNOHANG : 0);
    if (waited == child) break;
    if (waited < 0) {
      if (errno != EINTR) return -1;
      continue;
    }
    if (const std::int64_t read = BytesRead(child); read >= 0) onRead(read);
    std::this_thread::sleep_for(period);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace platform

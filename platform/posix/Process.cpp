#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A pipe already holding `bytes`, its write end closed: what the program reads as its standard input.
// Filled before the program exists, so writing can neither block nor hit a reader that has gone.
class FilledPipe {
 public:
  FilledPipe() = default;
  FilledPipe(const FilledPipe&) = delete;
  FilledPipe& operator=(const FilledPipe&) = delete;
  ~FilledPipe() {
    if (readEnd_ >= 0) ::close(readEnd_);
  }

  bool Fill(std::string_view bytes) {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    readEnd_ = ends[0];
    bool written = ::fcntl(ends[1], F_SETFL, O_NONBLOCK) == 0;
    while (written && !bytes.empty()) {
      const ssize_t count = ::write(ends[1], bytes.data(), bytes.size());
      if (count < 0 && errno == EINTR) continue;
      written = count > 0;
      if (written) bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    ::close(ends[1]);
    return written;
  }

  int ReadEnd() const { return readEnd_; }

 private:
  int readEnd_ = -1;
};

// posix_spawn's file actions, freed with the object.
class FileActions {
 public:
  FileActions() { ::posix_spawn_file_actions_init(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

int RunAndWait(const std::string& commandLine) { return RunAndWait(commandLine, {}, {}); }

int RunAndWait(const std::string& commandLine, const ReadProgress& onRead, std::chrono::milliseconds period) {
  return RunAndWait(commandLine, std::nullopt, onRead, period);
}

int RunAndWait(const std::string& commandLine, std::optional<std::string_view> standardInput,
               const ReadProgress& onRead, std::chrono::milliseconds period) {
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

  FilledPipe input;
  FileActions actions;
  if (standardInput) {
    // The duplicate on descriptor 0 loses the close-on-exec mark; the pipe's own descriptor keeps it.
    if (standardInput->size() > kStandardInputLimit || !input.Fill(*standardInput) ||
        ::posix_spawn_file_actions_adddup2(actions.Get(), input.ReadEnd(), STDIN_FILENO) != 0) {
      return -1;
    }
  }
  pid_t child = 0;
  if (::posix_spawnp(&child, argv[0], standardInput ? actions.Get() : nullptr, nullptr, argv.data(),
                     environ) != 0) {
    return -1;
  }
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

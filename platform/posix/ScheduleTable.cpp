#include "platform/ScheduleTable.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/Errors.h"
#include "platform/Exception.h"
#include "platform/FileContents.h"
#include "platform/Files.h"
#include "platform/posix/SpawnArguments.h"

extern char** environ;

namespace platform {
namespace {

struct CommandResult {
  int status = -1;  // exit status; -1 when the command could not start or was killed
  std::string output;
  std::string errors;
};

class Pipe {
 public:
  Pipe() {
    if (pipe2(ends_, O_CLOEXEC) != 0) throw Exception(std::string("pipe: ") + std::strerror(errno));
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  int Read() const { return ends_[0]; }
  int Write() const { return ends_[1]; }
  void CloseRead() { Close(ends_[0]); }
  void CloseWrite() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  int ends_[2] = {-1, -1};
};

// Drains both pipes together so that neither can fill up and stall the child.
void ReadBoth(Pipe& out, Pipe& err, std::string& output, std::string& errors) {
  pollfd fds[2] = {{out.Read(), POLLIN, 0}, {err.Read(), POLLIN, 0}};
  std::string* sinks[2] = {&output, &errors};
  int open = 2;
  char buffer[4096];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

CommandResult RunCapturing(const std::vector<std::string>& arguments) {
  Pipe out;
  Pipe err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.Write(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.Write(), STDERR_FILENO);
  const std::vector<char*> argv = SpawnArguments(arguments);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  CommandResult result;
  if (spawned != 0) {
    result.errors = std::strerror(spawned);
    return result;
  }
  out.CloseWrite();
  err.CloseWrite();
  ReadBoth(out, err, result.output, result.errors);
  int status = 0;
  pid_t waited = 0;
  while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  result.status = waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

bool IsExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

bool CommandExists(const std::string& command) {
  if (command.find('/') != std::string::npos) return IsExecutable(command);
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    if (IsExecutable(folder + "/" + command)) return true;
    start = end + 1;
  }
  return false;
}

// cron keeps LF line ends and refuses a table whose last line has no line break.
std::string AsCrontabText(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i] == '\r' ? '\n' : text[i];
  }
  if (!result.empty() && result.back() != '\n') result += '\n';
  return result;
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace

CrontabScheduleTable::CrontabScheduleTable(std::string crontabCommand, std::string backupPath)
    : crontabCommand_(std::move(crontabCommand)), backupPath_(std::move(backupPath)) {}

bool CrontabScheduleTable::Exists() { return CommandExists(crontabCommand_); }

std::string CrontabScheduleTable::Load() {
  const CommandResult listed = RunCapturing({crontabCommand_, "-l"});
  if (listed.status == 0) return WithCrLfLineEnds(listed.output);
  // A user who never had a table: the scheduler is there, the table is empty.
  if (listed.status > 0 && listed.errors.rfind("no crontab for ", 0) == 0) return {};
  throw EFOpenError(crontabCommand_ + " -l", Trimmed(listed.errors));
}

void CrontabScheduleTable::Save(const std::string& text) {
  RemoveQuietly(backupPath_);
  const CommandResult previous = RunCapturing({crontabCommand_, "-l"});
  // Replaced as a whole, so a half-written backup never stands in for the previous table.
  if (previous.status == 0) ReplaceFileContents(backupPath_, previous.output);

  // Staged in the temporary folder: the executable's folder may not be writable, and then only the
  // backup is lost, as a backup that cannot be written is passed over.
  std::error_code noTemporaryFolder;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(noTemporaryFolder);
  std::string staged =
      ((noTemporaryFolder ? std::filesystem::path("/tmp") : temporary) / "torvi-crontab.XXXXXX").string();
  const int fd = mkstemp(staged.data());
  if (fd < 0) {
    throw EFCreateError(staged, std::strerror(errno));
  }
  close(fd);
  if (!WriteWhole(staged, AsCrontabText(text))) {
    const std::string reason = std::strerror(errno);
    RemoveQuietly(staged);
    throw EFCreateError(staged, reason);
  }
  const CommandResult installed = RunCapturing({crontabCommand_, staged});
  RemoveQuietly(staged);
  if (installed.status != 0) {
    throw EFCreateError(crontabCommand_, Trimmed(installed.errors));
  }
}

std::string CrontabScheduleTable::InstallRequest() {
  return "É necessário instalar o Agendador de Tarefas (cron)...\n"
         " Instale o pacote cron e clique em OK";
}

std::unique_ptr<ScheduleTable> UserScheduleTable(const std::string& backupFolder) {
  return std::make_unique<CrontabScheduleTable>("crontab", backupFolder + "cron.bkp");
}

}  // namespace platform

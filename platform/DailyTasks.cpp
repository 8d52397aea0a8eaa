#include "platform/DailyTasks.h"

#include <cstdio>

#include "platform/Exception.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool EndsExecutableName(std::string_view command, std::size_t end) {
  if (end < 4) return false;
  const std::string_view suffix = command.substr(end - 4, 4);
  const bool exe = suffix.size() == 4 && suffix[0] == '.' && (suffix[1] | 0x20) == 'e' &&
                   (suffix[2] | 0x20) == 'x' && (suffix[3] | 0x20) == 'e';
  return exe && (end == command.size() || IsBlank(command[end]));
}

DailyTask SplitCommand(int hour, int minute, std::string_view command) {
  DailyTask task{.hour = hour, .minute = minute, .program = {}, .arguments = {}};
  std::size_t programEnd = command.size();
  if (command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    if (close != std::string_view::npos) {
      task.program = std::string(command.substr(1, close - 1));
      task.arguments = std::string(Trimmed(command.substr(close + 1)));
      return task;
    }
  }
  for (std::size_t end = 4; end <= command.size(); ++end) {
    if (EndsExecutableName(command, end)) {
      programEnd = end;
      break;
    }
  }
  task.program = std::string(command.substr(0, programEnd));
  task.arguments = std::string(Trimmed(command.substr(programEnd)));
  return task;
}

[[noreturn]] void RejectLine(std::string_view line, const char* why) {
  throw Exception("A linha \"" + std::string(line) + "\" " + why +
                  ": o Agendador de Tarefas do Windows guarda somente linhas \"mm hh * * * programa\".");
}

}  // namespace

std::vector<DailyTask> DailyTasksFromTable(std::string_view table) {
  std::vector<DailyTask> tasks;
  while (!table.empty()) {
    const std::size_t end = table.find_first_of("\r\n");
    const std::string_view line = Trimmed(table.substr(0, end));
    table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
    if (line.empty()) continue;
    const std::optional<DailyScheduleLine> daily = ReadDailyScheduleLine(line);
    if (!daily) RejectLine(line, "não é um horário diário");
    if (daily->hour > 23 || daily->minute > 59) RejectLine(line, "tem uma hora fora do dia");
    tasks.push_back(SplitCommand(daily->hour, daily->minute, daily->command));
  }
  if (tasks.size() > kMaxDailyTasks) {
    throw Exception("O Agendador de Tarefas do Windows guarda até " + std::to_string(kMaxDailyTasks) +
                    " horários do backup.");
  }
  return tasks;
}

std::string TableFromDailyTasks(const std::vector<DailyTask>& tasks) {
  std::string table;
  for (const DailyTask& task : tasks) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d %02d", task.minute, task.hour);
    std::string command = task.program;
    if (!task.arguments.empty()) command += " " + task.arguments;
    table = AppendScheduleLine(std::move(table), std::string(time) + " * * * " + command);
  }
  return table;
}

std::string DailyTaskName(std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "Backup %02zu", index + 1);
  return name;
}

TaskFolderScheduleTable::TaskFolderScheduleTable(std::unique_ptr<DailyTaskFolder> folder)
    : folder_(std::move(folder)) {}

bool TaskFolderScheduleTable::Exists() { return folder_->Available(); }

std::string TaskFolderScheduleTable::Load() { return TableFromDailyTasks(folder_->Read()); }

void TaskFolderScheduleTable::Save(const std::string& text) { folder_->Replace(DailyTasksFromTable(text)); }

std::string TaskFolderScheduleTable::InstallRequest() {
  return "O Agendador de Tarefas do Windows não está disponível.";
}

FirstInstalledScheduleTable::FirstInstalledScheduleTable(std::unique_ptr<ScheduleTable> preferred,
                                                         std::unique_ptr<ScheduleTable> fallback)
    : preferred_(std::move(preferred)), fallback_(std::move(fallback)) {}

ScheduleTable& FirstInstalledScheduleTable::Chosen() {
  if (preferred_->Exists() || !fallback_->Exists()) return *preferred_;
  return *fallback_;
}

bool FirstInstalledScheduleTable::Exists() { return preferred_->Exists() || fallback_->Exists(); }

std::string FirstInstalledScheduleTable::Load() { return Chosen().Load(); }

void FirstInstalledScheduleTable::Save(const std::string& text) { Chosen().Save(text); }

std::string FirstInstalledScheduleTable::InstallRequest() { return preferred_->InstallRequest(); }

}  // namespace platform

#include "cli/ScheduleCommands.h"

#include "cli/ExitStatus.h"
#include "platform/Exception.h"

namespace cli {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// "hh:mm" of numbers below 100, as a daily line's fields hold them.
std::string TimeText(int hour, int minute) {
  const auto twoDigits = [](int value) {
    return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
  };
  return twoDigits(hour) + ":" + twoDigits(minute);
}

bool IsOurs(const platform::DailyScheduleLine& line, const std::string& executablePath) {
  return line.command == executablePath ||
         (line.command.starts_with(executablePath) && line.command[executablePath.size()] == ' ');
}

// The table's lines without their CR LF; a last line without one is a line too.
std::vector<std::string> SplitLines(const std::string& table) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < table.size()) {
    std::size_t end = table.find(kLineEnd, begin);
    if (end == std::string::npos) end = table.size();
    lines.push_back(table.substr(begin, end - begin));
    begin = end + kLineEnd.size();
  }
  return lines;
}

int List(const std::string& table, const std::string& executablePath, Console& console) {
  for (const std::string& text : SplitLines(table)) {
    const auto line = platform::ReadDailyScheduleLine(text);
    if (line && IsOurs(*line, executablePath)) {
      console.out << TimeText(line->hour, line->minute) << " " << line->command << "\n";
    }
  }
  return kExitDone;
}

bool AtTime(const platform::DailyScheduleLine& line, const std::string& time) {
  return TimeText(line.hour, line.minute) == time;
}

int Add(platform::ScheduleTable& table, const std::string& text, const std::string& time,
        const std::string& command, Console& console) {
  for (const std::string& existing : SplitLines(text)) {
    const auto line = platform::ReadDailyScheduleLine(existing);
    if (line && AtTime(*line, time) && line->command == command) {
      console.out << "Já agendado: " << time << " " << command << "\n";
      return kExitDone;
    }
  }
  table.Save(platform::AppendScheduleLine(text, platform::ComposeScheduleLine(time, false, command)));
  console.out << "Agendado: " << time << " " << command << "\n";
  return kExitDone;
}

int Remove(platform::ScheduleTable& table, const std::string& text, const std::string& time,
           const std::string& executablePath, Console& console) {
  std::string kept;
  int removed = 0;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(kLineEnd, begin);
    end = end == std::string::npos ? text.size() : end + kLineEnd.size();
    const std::string piece = text.substr(begin, end - begin);
    const auto line = platform::ReadDailyScheduleLine(piece.substr(0, piece.find(kLineEnd)));
    if (line && IsOurs(*line, executablePath) && AtTime(*line, time)) {
      ++removed;
    } else {
      kept += piece;
    }
    begin = end;
  }
  if (removed == 0) {
    console.err << "torvi-backup: o horário " << time << " não está agendado para " << executablePath
                << "; a tabela não foi alterada.\n";
    return kExitProblemFound;
  }
  table.Save(kept);
  console.out << "Removido: " << time << "\n";
  return kExitDone;
}

#ifdef _WIN32
// The Windows scheduler passes the line on as it stands, like the executable's own path.
std::string ForScheduler(const std::string& folder) { return folder; }
#else
// cron hands the line to the shell: a folder with anything the shell would take apart goes in quotes.
std::string ForScheduler(const std::string& folder) {
  if (folder.find_first_of(" \t'\"\\$`;&|<>()*?#~") == std::string::npos) return folder;
  std::string quoted = "'";
  for (const char c : folder) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
#endif

int Usage(Console& console) {
  console.err << "torvi-backup: uso: schedule list | schedule add HH:MM | schedule remove HH:MM\n";
  return kExitBadUsage;
}

}  // namespace

std::optional<std::string> DailyTime(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
    return std::nullopt;
  int fields[2] = {0, 0};
  const std::string_view parts[2] = {text.substr(0, colon), text.substr(colon + 1)};
  for (int i = 0; i < 2; ++i) {
    for (const char c : parts[i]) {
      if (c < '0' || c > '9') return std::nullopt;
      fields[i] = fields[i] * 10 + (c - '0');
    }
  }
  if (fields[0] > 23 || fields[1] > 59) return std::nullopt;
  return TimeText(fields[0], fields[1]);
}

std::string ScheduledCommand(const std::string& executablePath, const std::string& configFolder, bool noFtp) {
  std::string command = executablePath;
  if (!configFolder.empty()) command += " --config " + ForScheduler(configFolder);
  if (noFtp) command += " --noftp";
  return command;
}

int RunScheduleCommand(const std::vector<std::string>& words, platform::ScheduleTable& table,
                       const std::string& executablePath, const std::string& command, Console& console) {
  const std::string verb = words.empty() ? std::string() : words.front();
  const bool takesTime = verb == "add" || verb == "remove";
  if (!(verb == "list" && words.size() == 1) && !(takesTime && words.size() == 2)) return Usage(console);
  std::optional<std::string> time;
  if (takesTime) {
    time = DailyTime(words[1]);
    if (!time) {
      console.err << "torvi-backup: horário inválido: " << words[1] << " (use HH:MM, de 00:00 a 23:59)\n";
      return kExitBadUsage;
    }
  }
  if (!table.Exists()) {
    console.err << "torvi-backup: " << table.InstallRequest() << "\n";
    return kExitProblemFound;
  }
  try {
    const std::string text = table.Load();
    if (verb == "list") return List(text, executablePath, console);
    if (verb == "add") return Add(table, text, *time, command, console);
    return Remove(table, text, *time, executablePath, console);
  } catch (const platform::Exception& error) {
    console.err << "torvi-backup: " << error.Message() << "\n";
    return kExitProblemFound;
  }
}

}  // namespace cli

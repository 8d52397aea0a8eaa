#include "cli/ConfigCommands.h"

#include "app/BackupSettings.h"
#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "app/SettingsKeys.h"
#include "cli/ConfigCheck.h"
#include "cli/ExitStatus.h"
#include "platform/Files.h"

namespace cli {
namespace {

int Show(const std::string& path, Console& console) {
  if (!platform::FileExists(path)) return NoSettingsFile(path, console);
  const app::ProfileText profile = app::LoadProfile(path);
  for (const app::SettingsKey& key : app::KnownSettingsKeys()) {
    console.out << app::QualifiedName(key) << " = "
                << app::ShownValue(key, profile.Read(key.section, key.key)) << "\n";
  }
  return kExitDone;
}

// A password given as "-" is typed at the terminal (or read from standard input), so that it stays out
// of the shell's history and the process list.
std::optional<std::string> ValueToStore(const app::SettingsKey& key, const std::string& given,
                                        Console& console) {
  if (given != "-" || key.kind != app::KeyKind::Password) return given;
  if (console.in.IsTerminal()) console.err << app::QualifiedName(key) << ": " << std::flush;
  return console.in.ReadLine(true);
}

int Set(const std::vector<std::string>& words, const std::string& path, Console& console) {
  if (words.size() != 3) {
    console.err << "torvi-backup: uso: config set SEÇÃO.CHAVE VALOR\n";
    return kExitBadUsage;
  }
  const app::SettingsKey* key = app::FindSettingsKey(words[1]);
  if (key == nullptr) {
    console.err << "torvi-backup: chave desconhecida: " << words[1]
                << " (\"torvi-backup config show\" lista as chaves)\n";
    return kExitBadUsage;
  }
  const std::optional<std::string> value = ValueToStore(*key, words[2], console);
  if (!value) {
    console.err << "torvi-backup: " << app::QualifiedName(*key) << ": nenhuma senha foi digitada.\n";
    return kExitBadUsage;
  }
  std::string stored;
  try {
    stored = app::StoredValue(*key, *value);
  } catch (const app::SettingsValueError& error) {
    console.err << "torvi-backup: " << error.Message() << " O arquivo não foi alterado.\n";
    return kExitBadUsage;
  }
  try {
    app::WriteProfileString(path, key->section, key->key, stored);
  } catch (const platform::Exception& error) {
    console.err << "torvi-backup: " << error.Message() << "\n";
    return kExitNoSettings;
  }
  return kExitDone;
}

// Asks one question until the answer is good; an empty answer keeps `current`. False at the end of input.
bool Ask(const app::SettingsKey& key, const std::string& current, Console& console, std::string& answer) {
  const bool hidden = key.kind == app::KeyKind::Password;
  for (;;) {
    console.out << key.question;
    if (!current.empty()) console.out << " [" << (hidden ? app::kMaskedPassword : current) << "]";
    console.out << ": " << std::flush;
    const std::optional<std::string> line = console.in.ReadLine(hidden);
    if (!line) return false;
    answer = line->empty() ? current : *line;
    const std::string problem = app::ValueProblem(key, answer);
    if (problem.empty()) return true;
    console.out << "  " << problem << ".\n";
  }
}

int Init(const std::string& path, Console& console) {
  if (platform::FileExists(path)) {
    console.err << "torvi-backup: o arquivo de configuração já existe: " << path
                << "\n  (altere-o com \"torvi-backup config set\")\n";
    return kExitBadUsage;
  }
  try {
    app::SaveSettings(app::BackupSettings{}, path);
    if (console.in.IsTerminal()) {
      console.out << "Configuração inicial (Enter mantém o valor entre colchetes):\n";
      for (const app::SettingsKey& key : app::KnownSettingsKeys()) {
        if (key.question.empty()) continue;
        const std::string current = app::PlainValue(key, app::ReadProfileString(path, key.section, key.key));
        std::string answer;
        if (!Ask(key, current, console, answer)) break;
        if (answer != current)
          app::WriteProfileString(path, key.section, key.key, app::StoredValue(key, answer));
      }
    }
  } catch (const platform::Exception& error) {
    console.err << "torvi-backup: " << error.Message() << "\n";
    return kExitNoSettings;
  }
  console.out << "Arquivo de configuração criado: " << path
              << "\nConfira-o com \"torvi-backup config check\".\n";
  return kExitDone;
}

}  // namespace

int RunConfigCommand(const std::vector<std::string>& words, const Folders& folders, Console& console) {
  const std::string path = folders.config + app::kSettingsFileName;
  const std::string verb = words.empty() ? std::string() : words.front();
  if (verb == "show" && words.size() == 1) return Show(path, console);
  if (verb == "set") return Set(words, path, console);
  if (verb == "init" && words.size() == 1) return Init(path, console);
  if (verb == "check" && words.size() == 1) return CheckSettings(path, folders.work, console);
  console.err
      << "torvi-backup: uso: config show | config set SEÇÃO.CHAVE VALOR | config init | config check\n";
  return kExitBadUsage;
}

}  // namespace cli

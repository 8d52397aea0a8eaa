#pragma once

#include <string>

#include "app/BackupSettings.h"
#include "platform/Clock.h"

namespace run {

// The moment a run started, as the texts every name of the run is formed from.
struct RunStamp {
  std::string date;  // "ddmmyyyy"
  std::string time;  // "hhMMss", 24-hour
};

RunStamp MakeRunStamp(const platform::LocalDateTime& now);

// The names and paths of one run. Folder texts are joined to names by plain concatenation.
struct RunNames {
  RunStamp stamp;
  std::string workFolder;        // ends with the path separator
  std::string backupFileName;    // "bkp" + date + time + ".bk"
  std::string archiveName;       // "bkp" + date + time + ".rar"
  std::string remoteName;        // the archive name, or its other extension for the FTP server
  std::string serverBackupPath;  // where the database server writes the backup file
  std::string sharePath;         // the same file as this machine reaches it over the share
  std::string localBackupPath;
  std::string localArchivePath;
};

// The server is this machine only when EdtServidor is exactly "localhost".
bool IsLocalServer(const app::BackupSettings& settings);

RunNames MakeRunNames(const app::BackupSettings& settings, const RunStamp& stamp,
                      const std::string& workFolder);

}  // namespace run

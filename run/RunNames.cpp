#include "run/RunNames.h"

#include <cstdio>

#include "run/FtpDeliveryNames.h"

namespace run {

namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string FourDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", value);
  return text;
}

}  // namespace

RunStamp MakeRunStamp(const platform::LocalDateTime& now) {
  return {TwoDigits(now.day) + TwoDigits(now.month) + FourDigits(now.year),
          TwoDigits(now.hour) + TwoDigits(now.minute) + TwoDigits(now.second)};
}

bool IsLocalServer(const app::BackupSettings& settings) { return settings.EdtServidor == "localhost"; }

RunNames MakeRunNames(const app::BackupSettings& settings, const RunStamp& stamp,
                      const std::string& workFolder) {
  RunNames names;
  names.stamp = stamp;
  names.workFolder = workFolder;
  const std::string base = "bkp" + stamp.date + stamp.time;
  names.backupFileName = base + ".bk";
  names.archiveName = base + ".rar";
  names.remoteName = base + "." + FtpExtension(settings);
  names.serverBackupPath =
      (IsLocalServer(settings) ? workFolder : settings.EdtPastaTemp) + names.backupFileName;
  names.sharePath = settings.EdtPastaComp + names.backupFileName;
  names.localBackupPath = workFolder + names.backupFileName;
  names.localArchivePath = workFolder + names.archiveName;
  return names;
}

}  // namespace run

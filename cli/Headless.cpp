#include "cli/Headless.h"

#include <filesystem>
#include <ostream>

#include "app/Profile.h"
#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "cli/ConfigCommands.h"
#include "cli/ScheduleCommands.h"
#include "ftp/TLSCertificate.h"
#include "platform/Files.h"
#include "platform/Utf8Path.h"
#include "platform/WorkingFolder.h"
#include "run/ConnectionTest.h"
#include "run/HeadlessRun.h"
#include "run/RunMail.h"
#include "run/SmtpSender.h"

#ifndef TORVI_VERSION
#define TORVI_VERSION "unknown"
#endif

namespace cli {
namespace {

Folders FoldersOf(const Options& options) {
  return {options.configFolder.empty() ? platform::ExecutableFolder() : options.configFolder,
          options.workFolder.empty() ? platform::kWorkingFolder : options.workFolder};
}

// The scheduler starts the program from another folder, so a settings folder given goes into its line
// as a full path.
std::string AbsoluteFolder(const std::string& folder) {
  if (folder.empty()) return folder;
  const std::u8string absolute = std::filesystem::absolute(platform::Utf8Path(folder)).u8string();
  return std::string(absolute.begin(), absolute.end());
}

// A certificate that does not verify is printed; with --trust-certificate its fingerprint is pinned in
// the settings file and the test goes on, else the test fails.
run::CertificateTrust TrustAtCommandLine(const Options& options, const std::string& settingsPath,
                                         Console& console) {
  return [&options, settingsPath, &console](const ftp::TIdCertificateInfo& certificate) {
    console.out << ftp::CertificateText(certificate);
    if (!options.trustCertificate) {
      console.err
          << "torvi-backup: certificado não confiável; --trust-certificate o fixa nas configurações\n";
      return false;
    }
    app::WriteProfileString(settingsPath, "FTP", "Certificado", certificate.Fingerprint);
    console.out << "Certificado fixado em FTP/Certificado.\n";
    return true;
  };
}

int RunSchedule(const Options& options, Console& console) {
  const std::vector<std::string> words(options.command.begin() + 1, options.command.end());
  const std::string executable = platform::ExecutablePath();
  const auto table = platform::UserScheduleTable(FoldersOf(options).config);
  return RunScheduleCommand(words, *table, executable,
                            ScheduledCommand(executable, AbsoluteFolder(options.configFolder), options.noFtp),
                            console);
}

// Exit 0 once the server took the message, 2 when it did not (the reason on standard error).
int TestEmail(const app::BackupSettings& settings, Console& console) {
  try {
    console.out << "E-mail de teste enviado para: " << run::SendTestMail(settings) << "\n";
    return kExitDone;
  } catch (const run::MailError& error) {
    console.err << "torvi-backup: e-mail de teste não enviado: " << error.Message() << "\n";
    return kExitRunIncomplete;
  }
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, Console& console) {
  Options options;
  try {
    options = ParseOptions(arguments);
  } catch (const UsageError& error) {
    console.err << "torvi-backup: " << error.Message() << "\n" << UsageText();
    return kExitBadUsage;
  }
  if (options.help) {
    console.out << UsageText();
    return kExitDone;
  }
  if (options.version) {
    console.out << "torvi-backup " << TORVI_VERSION << "\n";
    return kExitDone;
  }
  if (!options.command.empty() && options.command.front() == "config") {
    return RunConfigCommand({options.command.begin() + 1, options.command.end()}, FoldersOf(options),
                            console);
  }
  if (!options.command.empty()) return RunSchedule(options, console);
  return RunHeadless(options, console);
}

int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  NoInput nobody;
  Console console{nobody, out, err};
  return RunCommandLine(arguments, console);
}

int RunHeadless(const Options& options, Console& console) {
  const Folders folders = FoldersOf(options);
  const std::string settingsPath = folders.config + app::kSettingsFileName;
  if (!platform::FileExists(settingsPath)) {
    console.err << "torvi-backup: no settings file: " << settingsPath << "\n";
    return kExitNoSettings;
  }
  app::BackupSettings settings;
  try {
    app::LoadSettings(settings, settingsPath);
    app::LoadEmailSettings(settings, settingsPath);
  } catch (const platform::Exception& error) {
    console.err << "torvi-backup: " << settingsPath << ": " << app::ErrorBoxText(error.Message()) << "\n";
    return kExitNoSettings;
  }
  if (options.noFtp) app::ApplyCommandLine(settings, {app::kNoFtpArgument});
  if (options.testEmail) return TestEmail(settings, console);
  if (options.testFtp) {
    return run::TestConnectionHeadless(settings, folders.work, console.err,
                                       TrustAtCommandLine(options, settingsPath, console))
               ? kExitDone
               : kExitRunIncomplete;
  }
  return run::RunHeadless(settings, folders.config, folders.work, console.out, console.err,
                          console.outIsTerminal);
}

}  // namespace cli

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "tests/support/TempFolder.h"

namespace {

using app::BackupSettings;
using app::StartUpOutcome;
using testsupport::TempFolder;
using testsupport::WriteBytes;

// Records what the start-up sequence asked of its window, in order.
struct Window {
  std::vector<std::string> calls;
  bool runSawFtp = false;
  bool throwInRun = false;

  app::StartUpHooks Hooks() {
    app::StartUpHooks hooks;
    hooks.SetShareGroupVisible = [this](bool visible) {
      calls.push_back(visible ? "share shown" : "share hidden");
    };
    hooks.PerformRun = [this](BackupSettings& settings) {
      calls.push_back("run");
      runSawFtp = settings.CheckFTP;
      if (throwInRun) throw std::runtime_error("I/O error 13");
    };
    hooks.ShowWindow = [this] { calls.push_back("window"); };
    hooks.ShowErrorBox = [this](const std::string& text) { calls.push_back("error: " + text); };
    return hooks;
  }
};

using Calls = std::vector<std::string>;

TEST(StartUp, ChoosesTheRunModeAndAppliesTheCommandLine) {
  const std::string ftpOn =
      "[Servidor]\r\nNome=srv\r\n[FTP]\r\nEnviarBackup=S\r\n[Configuracao]\r\nEmail=a@b\r\n";
  struct Case {
    const char* name;
    const char* file;  // nullptr: no settings file
    std::string abrir;
    std::vector<std::string> arguments;
    StartUpOutcome outcome;
    Calls calls;
    bool ftp;
  } cases[] = {
      {"no file, /noftp ignored", nullptr, "", {"/noftp"}, StartUpOutcome::SettingsMode, {"window"}, false},
      {"Abrir=S", "", "Abrir=S\r\n", {}, StartUpOutcome::SettingsMode, {"share shown", "window"}, true},
      {"Abrir=S with /noftp",
       "",
       "Abrir=S\r\n",
       {"/noftp"},
       StartUpOutcome::SettingsMode,
       {"share shown", "window"},
       false},
      {"Abrir missing", "", "", {}, StartUpOutcome::AutomaticRun, {"share shown", "run", "window"}, true},
      {"Abrir=s",
       "",
       "Abrir=s\r\n",
       {"x"},
       StartUpOutcome::AutomaticRun,
       {"share shown", "run", "window"},
       true},
      {"/noftp among others",
       "",
       "",
       {"-v", "/noftp", "noftp"},
       StartUpOutcome::AutomaticRun,
       {"share shown", "run", "window"},
       false},
      {"/NOFTP and noftp ignored",
       "",
       "",
       {"/NOFTP", "noftp", "/noftp "},
       StartUpOutcome::AutomaticRun,
       {"share shown", "run", "window"},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const std::string path = temp / app::kSettingsFileName;
    if (c.file) WriteBytes(path, ftpOn + c.abrir);
    BackupSettings settings;
    Window window;
    EXPECT_EQ(app::RunStartUp(settings, path, c.arguments, window.Hooks()), c.outcome);
    EXPECT_EQ(window.calls, c.calls);
    EXPECT_EQ(settings.CheckFTP, c.ftp);
    if (c.outcome == StartUpOutcome::AutomaticRun) {
      EXPECT_EQ(window.runSawFtp, c.ftp);
    }
    EXPECT_EQ(settings.EdtEmail, c.file ? "a@b" : "");
  }
}

TEST(StartUp, TheShareGroupIsHiddenOnlyForLocalhost) {
  for (const auto& [server, shown] : std::vector<std::pair<std::string, bool>>{
           {"localhost", false}, {"LOCALHOST", true}, {"", true}, {"192.168.0.10", true}}) {
    TempFolder temp;
    WriteBytes(temp / app::kSettingsFileName,
               "[Servidor]\r\nNome=" + server + "\r\n[Configuracao]\r\nAbrir=S\r\n");
    BackupSettings settings;
    Window window;
    app::RunStartUp(settings, temp / app::kSettingsFileName, {}, window.Hooks());
    EXPECT_EQ(window.calls.front(), shown ? "share shown" : "share hidden") << server;
  }
}

TEST(StartUp, AnErrorIsShownAndEndsTheSequence) {
  TempFolder temp;
  const std::string path = temp / app::kSettingsFileName;
  {
    WriteBytes(path, "[FTP]\r\nModo=x\r\n[Configuracao]\r\nAbrir=N\r\nEmail=a@b\r\n");
    BackupSettings settings;
    Window window;
    EXPECT_EQ(app::RunStartUp(settings, path, {}, window.Hooks()), StartUpOutcome::Failed);
    EXPECT_EQ(window.calls, Calls{"error: 'x' is not a valid integer value."});
    EXPECT_EQ(settings.EdtEmail, "");
  }
  {
    WriteBytes(path, "[Configuracao]\r\nAbrir=N\r\nEmail=a@b\r\n");
    BackupSettings settings;
    Window window;
    window.throwInRun = true;
    EXPECT_EQ(app::RunStartUp(settings, path, {}, window.Hooks()), StartUpOutcome::Failed);
    EXPECT_EQ(window.calls, (Calls{"share shown", "run", "error: I/O error 13."}));
    EXPECT_EQ(settings.EdtEmail, "") << "the e-mail settings are not loaded after a failed run";
  }
}

TEST(ErrorBoxText, AppendsAPeriodAfterCharactersThatSortAfterIt) {
  struct Case {
    std::string message;
    std::string text;
  } cases[] = {
      {"Unable to write to /x/Configuracaobkp.ini", "Unable to write to /x/Configuracaobkp.ini."},
      {"Falhou.", "Falhou."},
      {"Conexão recusada!", "Conexão recusada!"},  // '!' sorts before '.'
      {"x-", "x-"},
      {"a/", "a/."},
      {"9", "9."},
      {"Sessão", "Sessão."},
      {"ã", "ã."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(app::ErrorBoxText(c.message), c.text) << c.message;
}

}  // namespace

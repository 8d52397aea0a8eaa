#include <gtest/gtest.h>

#include <filesystem>

#include "cli/ScheduleCommands.h"
#include "platform/ScheduleTable.h"
#include "tests/cli/ConsoleDouble.h"
#include "tests/support/FakeCrontab.h"
#include "tests/support/ShellCommand.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using clitest::CapturedConsole;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

TEST(DailyTime, TakesHoursAndMinutesOfADayOnly) {
  struct Case {
    const char* text;
    const char* time;  // null: refused
  } cases[] = {
      {"22:30", "22:30"}, {"8:05", "08:05"},  {"00:00", "00:00"},  {"23:59", "23:59"},
      {"24:00", nullptr}, {"25:61", nullptr}, {"12:60", nullptr},  {"1230", nullptr},
      {"12:3", nullptr},  {":30", nullptr},   {"12:30 ", nullptr}, {" 8:05", nullptr},
      {"ab:cd", nullptr}, {"-1:30", nullptr}, {"123:00", nullptr}, {"", nullptr},
  };
  for (const auto& c : cases) {
    const auto time = cli::DailyTime(c.text);
    EXPECT_EQ(time.has_value(), c.time != nullptr) << c.text;
    if (time && c.time) {
      EXPECT_EQ(*time, c.time);
    }
  }
}

TEST(ScheduledCommand, NamesTheSettingsFolderAndTheSwitch) {
  EXPECT_EQ(cli::ScheduledCommand("/usr/bin/torvi-backup", "", false), "/usr/bin/torvi-backup");
  EXPECT_EQ(cli::ScheduledCommand("/usr/bin/torvi-backup", "/srv/torvi/", true),
            "/usr/bin/torvi-backup --config /srv/torvi/ --noftp");
  EXPECT_EQ(cli::ScheduledCommand("/x", "/srv/my torvi/", false), "/x --config '/srv/my torvi/'");
  EXPECT_EQ(cli::ScheduledCommand("/x", "/srv/o'hara/", false), "/x --config '/srv/o'\\''hara/'");
}

constexpr char kProgram[] = "/opt/torvi/torvi-backup";

// The user's crontab behind a stand-in command; its previous table is kept as "cron.bkp" in the folder.
class ScheduleCommand : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& words, const std::string& command = kProgram) {
    console_ = std::make_unique<CapturedConsole>();
    platform::CrontabScheduleTable table(crontab_.Command(), (folder_ / "cron.bkp").string());
    return cli::RunScheduleCommand(words, table, kProgram, command, console_->console);
  }
  std::string Table() const { return ReadBytes(crontab_.Table()); }

  const testsupport::TempFolder temp_;
  const fs::path folder_ = temp_.Root();
  const testsupport::FakeCrontab crontab_{folder_};
  std::unique_ptr<CapturedConsole> console_;
};

TEST_F(ScheduleCommand, AddAppendsTheEditorsLineAndKeepsThePreviousTable) {
  ASSERT_EQ(Run({"add", "22:30"}, std::string(kProgram) + " --config /srv/torvi/"), 0) << console_->err.str();
  EXPECT_EQ(Table(), "30 22 * * * /opt/torvi/torvi-backup --config /srv/torvi/\n");
  EXPECT_EQ(console_->out.str(), "Agendado: 22:30 /opt/torvi/torvi-backup --config /srv/torvi/\n");

  ASSERT_EQ(Run({"add", "8:05"}, std::string(kProgram) + " --noftp"), 0);
  EXPECT_EQ(ReadBytes(folder_ / "cron.bkp"), "30 22 * * * /opt/torvi/torvi-backup --config /srv/torvi/\n");
  EXPECT_EQ(Table(),
            "30 22 * * * /opt/torvi/torvi-backup --config /srv/torvi/\n"
            "05 08 * * * /opt/torvi/torvi-backup --noftp\n");

  // The same line again changes nothing.
  const std::string before = Table();
  fs::remove(folder_ / "cron.bkp");
  ASSERT_EQ(Run({"add", "08:05"}, std::string(kProgram) + " --noftp"), 0);
  EXPECT_NE(console_->out.str().find("Já agendado: 08:05"), std::string::npos);
  EXPECT_EQ(Table(), before);
  EXPECT_FALSE(fs::exists(folder_ / "cron.bkp"));
}

TEST_F(ScheduleCommand, ListShowsThisProgramsLinesWhoeverWroteThem) {
  WriteBytes(crontab_.Table(),
             "MAILTO=admin\n"
             "# 30 22 * * * /opt/torvi/torvi-backup\n"
             "05  8 * * * /opt/torvi/torvi-backup\n"  // as the schedule editor writes an hour of one digit
             "0 3 * * 1 /opt/torvi/torvi-backup\n"    // weekly: not a daily line
             "30 22 * * * /opt/torvi/torvi-backup-old\n"
             "30 22 * * * /usr/bin/other\n"
             "0\t23 * * *   /opt/torvi/torvi-backup --config /srv/torvi/ --noftp\n");
  ASSERT_EQ(Run({"list"}), 0);
  EXPECT_EQ(console_->out.str(),
            "08:05 /opt/torvi/torvi-backup\n"
            "23:00 /opt/torvi/torvi-backup --config /srv/torvi/ --noftp\n");
}

TEST_F(ScheduleCommand, RemoveDropsOnlyThisProgramsLinesAtThatTime) {
  const std::string others =
      "MAILTO=admin\n"
      "# 30 22 * * * /opt/torvi/torvi-backup\n"
      "30 22 * * * /usr/bin/other  \n"
      "30 22 * * 1 /opt/torvi/torvi-backup\n"
      "30 22 * * * /opt/torvi/torvi-backup-old\n";
  WriteBytes(crontab_.Table(), others);
  ASSERT_EQ(Run({"add", "22:30"}), 0);
  ASSERT_EQ(Run({"add", "22:30"}, std::string(kProgram) + " --noftp"), 0);
  ASSERT_EQ(Run({"add", "23:00"}), 0);
  ASSERT_EQ(Run({"remove", "22:30"}), 0) << console_->err.str();
  EXPECT_EQ(Table(), others + "00 23 * * * /opt/torvi/torvi-backup\n");
  ASSERT_EQ(Run({"remove", "23:00"}), 0);
  EXPECT_EQ(Table(), others);  // every other line byte for byte
}

TEST_F(ScheduleCommand, BadInputLeavesTheTableAsItWas) {
  WriteBytes(crontab_.Table(), "30 22 * * * /usr/bin/other\n05 08 * * * /opt/torvi/torvi-backup\n");
  const std::string before = Table();
  struct Case {
    std::vector<std::string> words;
    int status;
    const char* message;
  } cases[] = {
      {{"add", "25:61"}, 64, "horário inválido: 25:61 (use HH:MM, de 00:00 a 23:59)"},
      {{"remove", "8:5"}, 64, "horário inválido: 8:5"},
      {{"remove", "22:30"}, 1, "o horário 22:30 não está agendado para /opt/torvi/torvi-backup"},
      {{"add"}, 64, "uso: schedule list"},
      {{"list", "22:30"}, 64, "uso: schedule list"},
      {{"clear"}, 64, "uso: schedule list"},
      {{}, 64, "uso: schedule list"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.words), c.status) << c.message;
    EXPECT_NE(console_->err.str().find(c.message), std::string::npos) << console_->err.str();
    EXPECT_EQ(Table(), before);
    EXPECT_FALSE(fs::exists(folder_ / "cron.bkp")) << c.message;
  }
}

TEST_F(ScheduleCommand, MissingSchedulerAsksForIt) {
  CapturedConsole console;
  platform::CrontabScheduleTable missing((folder_ / "no-crontab").string(), (folder_ / "cron.bkp").string());
  EXPECT_EQ(cli::RunScheduleCommand({"list"}, missing, kProgram, kProgram, console.console), 1);
  EXPECT_NE(console.err.str().find("Instale o pacote cron"), std::string::npos) << console.err.str();
}

// The program itself, with the stand-in first on PATH: the line names the program and its settings folder,
// and a line the schedule editor composes for it is the command line's as well.
TEST_F(ScheduleCommand, ProgramAndEditorShareTheUsersTable) {
  const std::string program = fs::canonical(TORVI_BACKUP_PROGRAM).string();
  const std::string configFolder = (folder_ / "conf").string() + "/";
  fs::create_directory(configFolder);
  const std::string run = "PATH=" + testsupport::ShellQuote(folder_.string()) + ":$PATH " +
                          testsupport::ShellQuote(program) + " --config " +
                          testsupport::ShellQuote(configFolder);

  ASSERT_EQ(testsupport::RunCommand(run + " --noftp schedule add 22:30").exitCode, 0);
  const std::string line = "30 22 * * * " + program + " --config " + configFolder + " --noftp\n";
  EXPECT_EQ(Table(), line);

  WriteBytes(crontab_.Table(), Table() + platform::ComposeScheduleLine(" 8:05", false, program) + "\n");
  const auto listed = testsupport::RunCommand(run + " schedule list");
  EXPECT_EQ(listed.output,
            "22:30 " + program + " --config " + configFolder + " --noftp\n08:05 " + program + "\n");
  ASSERT_EQ(testsupport::RunCommand(run + " schedule remove 08:05").exitCode, 0);
  EXPECT_EQ(Table(), line);
  // The previous table is kept beside the settings, where the user may write.
  EXPECT_TRUE(fs::exists(configFolder + "cron.bkp"));
  EXPECT_EQ(testsupport::RunCommand(run + " schedule remove 08:05").exitCode, 1);
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/DailyTasks.h"
#include "platform/Exception.h"

namespace {

using platform::DailyTask;

TEST(DailyTasks, EditorLinesBecomeTasksInOrder) {
  struct Case {
    const char* line;
    DailyTask task;
  };
  const std::vector<Case> cases = {
      {"30 22 * * * C:\\torvi\\VAzeduz.exe /noftp", {22, 30, "C:\\torvi\\VAzeduz.exe", "/noftp"}},
      {"05  8 * * * C:\\torvi\\VAzeduz.exe", {8, 5, "C:\\torvi\\VAzeduz.exe", ""}},
      {"0 0 * * * C:\\Arquivos de Programas\\Tõrvi\\VAzeduz.EXE /noftp",
       {0, 0, "C:\\Arquivos de Programas\\Tõrvi\\VAzeduz.EXE", "/noftp"}},
      {"59 23 * * * \"C:\\a b\\x.exe\" /noftp /x", {23, 59, "C:\\a b\\x.exe", "/noftp /x"}},
      {"15 3 * * * C:\\tools\\limpeza", {3, 15, "C:\\tools\\limpeza", ""}},
      {"15 3 * * * C:\\a.exe.d\\b.exe", {3, 15, "C:\\a.exe.d\\b.exe", ""}},
  };
  std::string table = "\r\n";
  std::vector<DailyTask> expected;
  for (const Case& c : cases) {
    table += std::string(c.line) + "\r\n";
    expected.push_back(c.task);
    EXPECT_EQ(platform::DailyTasksFromTable(c.line), std::vector<DailyTask>{c.task}) << c.line;
  }
  EXPECT_EQ(platform::DailyTasksFromTable(table + "  \n"), expected);
  EXPECT_TRUE(platform::DailyTasksFromTable("").empty());
}

TEST(DailyTasks, LinesATaskCannotHoldAreRefusedNamingTheLine) {
  for (const char* line :
       {"# backups da noite", "30 22 * * 1 C:\\torvi\\VAzeduz.exe", "30  * * * C:\\VAzeduz.exe",
        "30 24 * * * C:\\VAzeduz.exe", "60 23 * * * C:\\VAzeduz.exe", "PATH=C:\\bin"}) {
    try {
      platform::DailyTasksFromTable(std::string("30 22 * * * C:\\VAzeduz.exe\r\n") + line + "\r\n");
      ADD_FAILURE() << "accepted: " << line;
    } catch (const platform::Exception& error) {
      EXPECT_NE(error.Message().find(std::string("\"") + line + "\""), std::string::npos) << error.Message();
    }
  }
}

TEST(DailyTasks, TasksShowAsTheLinesInsertWrites) {
  const std::vector<DailyTask> tasks = {{22, 30, "C:\\Arquivos de Programas\\torvi\\VAzeduz.exe", "/noftp"},
                                        {8, 5, "C:\\torvi\\VAzeduz.exe", ""}};
  const std::string table = platform::TableFromDailyTasks(tasks);
  EXPECT_EQ(table,
            "30 22 * * * C:\\Arquivos de Programas\\torvi\\VAzeduz.exe /noftp\r\n"
            "05 08 * * * C:\\torvi\\VAzeduz.exe\r\n");
  EXPECT_EQ(platform::DailyTasksFromTable(table), tasks);
  EXPECT_EQ(platform::DailyTaskName(0), "Backup 01");
  EXPECT_EQ(platform::DailyTaskName(11), "Backup 12");
}

// The task folder kept in memory, as the system's scheduler would keep it.
struct FolderState {
  bool available = true;
  bool failReplace = false;
  std::vector<DailyTask> tasks;
};

class MemoryTaskFolder final : public platform::DailyTaskFolder {
 public:
  explicit MemoryTaskFolder(FolderState& state) : state_(state) {}
  bool Available() override { return state_.available; }
  std::vector<DailyTask> Read() override { return state_.tasks; }
  void Replace(const std::vector<DailyTask>& tasks) override {
    if (state_.failReplace) throw platform::Exception("Acesso negado");
    state_.tasks = tasks;
  }

 private:
  FolderState& state_;
};

// A cron-style table that exists or not.
class FlagTable final : public platform::ScheduleTable {
 public:
  FlagTable(bool& exists, std::string& text) : exists_(exists), text_(text) {}
  bool Exists() override { return exists_; }
  std::string Load() override { return text_; }
  void Save(const std::string& text) override { text_ = text; }
  std::string InstallRequest() override { return "baixe o agendador"; }

 private:
  bool& exists_;
  std::string& text_;
};

TEST(TaskFolderScheduleTable, SavesTheLinesAsTasksAndLoadsThemBack) {
  FolderState state{.available = true, .failReplace = false, .tasks = {{3, 0, "C:\\velho.exe", ""}}};
  platform::TaskFolderScheduleTable table(std::make_unique<MemoryTaskFolder>(state));
  EXPECT_TRUE(table.Exists());
  EXPECT_EQ(table.Load(), "00 03 * * * C:\\velho.exe\r\n");

  table.Save("30 22 * * * C:\\torvi\\VAzeduz.exe /noftp\r\n5 7 * * * C:\\torvi\\VAzeduz.exe");
  EXPECT_EQ(state.tasks, (std::vector<DailyTask>{{22, 30, "C:\\torvi\\VAzeduz.exe", "/noftp"},
                                                 {7, 5, "C:\\torvi\\VAzeduz.exe", ""}}));
  EXPECT_EQ(table.Load(),
            "30 22 * * * C:\\torvi\\VAzeduz.exe /noftp\r\n05 07 * * * C:\\torvi\\VAzeduz.exe\r\n");

  // A line that cannot be a task, or a scheduler that refuses: the saved set stays as it was.
  const std::vector<DailyTask> saved = state.tasks;
  EXPECT_THROW(table.Save("30 22 * * * C:\\a.exe\r\n# nota\r\n"), platform::Exception);
  state.failReplace = true;
  EXPECT_THROW(table.Save("30 21 * * * C:\\a.exe\r\n"), platform::Exception);
  EXPECT_EQ(state.tasks, saved);

  state.available = false;
  EXPECT_FALSE(table.Exists());
}

TEST(FirstInstalledScheduleTable, TheCronTableWinsWhereItIsInstalled) {
  bool cronInstalled = false;
  std::string cronText = "0 1 * * * C:\\cron.exe\r\n";
  FolderState state{.available = true, .failReplace = false, .tasks = {{2, 0, "C:\\task.exe", ""}}};
  platform::FirstInstalledScheduleTable table(
      std::make_unique<FlagTable>(cronInstalled, cronText),
      std::make_unique<platform::TaskFolderScheduleTable>(std::make_unique<MemoryTaskFolder>(state)));
  EXPECT_TRUE(table.Exists());
  EXPECT_EQ(table.Load(), "00 02 * * * C:\\task.exe\r\n");
  table.Save("10 4 * * * C:\\task.exe\r\n");
  EXPECT_EQ(state.tasks, (std::vector<DailyTask>{{4, 10, "C:\\task.exe", ""}}));
  EXPECT_EQ(cronText, "0 1 * * * C:\\cron.exe\r\n");

  cronInstalled = true;
  EXPECT_EQ(table.Load(), cronText);
  table.Save("# só comentários\r\n");
  EXPECT_EQ(cronText, "# só comentários\r\n");
  EXPECT_EQ(state.tasks, (std::vector<DailyTask>{{4, 10, "C:\\task.exe", ""}}));

  cronInstalled = false;
  state.available = false;
  EXPECT_FALSE(table.Exists());
  EXPECT_EQ(table.InstallRequest(), "baixe o agendador");
}

}  // namespace

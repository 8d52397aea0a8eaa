#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Exception.h"
#include "platform/ScheduleTable.h"
#include "tests/support/FakeCrontab.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

TEST(ComposeScheduleLine, BuildsTheDailyLineFromTheTimeField) {
  struct Case {
    const char* time;
    bool noFtp;
    const char* path;
    const char* line;
  } cases[] = {
      {"22:30", true, "/opt/torvi/VAzeduz", "30 22 * * * /opt/torvi/VAzeduz /noftp"},
      {"22:30", false, "/opt/torvi/VAzeduz", "30 22 * * * /opt/torvi/VAzeduz"},
      {" 8:05", false, "/x", "05  8 * * * /x"},  // hour's first position left blank
      {"  :  ", false, "/x", "      * * * /x"},  // untouched field: nothing is validated
      {"25:99", false, "/x", "99 25 * * * /x"},
      {"07:00", true, "/opt/my programs/VAzeduz", "00 07 * * * /opt/my programs/VAzeduz /noftp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ComposeScheduleLine(c.time, c.noFtp, c.path), c.line) << c.time;
  }
}

TEST(ReadDailyScheduleLine, TakesTheTimeAndCommandOfADailyLine) {
  struct Case {
    const char* line;
    int minute;  // -1: no daily line
    int hour;
    const char* command;
  } cases[] = {
      {"30 22 * * * /opt/torvi/VAzeduz /noftp", 30, 22, "/opt/torvi/VAzeduz /noftp"},
      {"05  8 * * * /x", 5, 8, "/x"},  // the editor's blank hour position
      {"0\t3\t*\t*\t*\t/x  ", 0, 3, "/x"},
      {" 7 1 * * * /opt/my programs/VAzeduz", 7, 1, "/opt/my programs/VAzeduz"},
      {"      * * * /x", -1, 0, ""},  // the untouched time field
      {"30 22 * * 1 /x", -1, 0, ""},
      {"*/5 * * * * /x", -1, 0, ""},
      {"30 22 * * *", -1, 0, ""},
      {"# 30 22 * * * /x", -1, 0, ""},
      {"MAILTO=root", -1, 0, ""},
      {"", -1, 0, ""},
  };
  for (const auto& c : cases) {
    const auto line = platform::ReadDailyScheduleLine(c.line);
    ASSERT_EQ(line.has_value(), c.minute >= 0) << c.line;
    if (!line) continue;
    EXPECT_EQ(line->minute, c.minute) << c.line;
    EXPECT_EQ(line->hour, c.hour) << c.line;
    EXPECT_EQ(line->command, c.command) << c.line;
  }
}

TEST(AppendScheduleLine, EndsEveryLineWithCrLf) {
  struct Case {
    const char* table;
    const char* result;
  } cases[] = {
      {"", "L\r\n"},
      {"a\r\n", "a\r\nL\r\n"},
      {"a\r\nb", "a\r\nb\r\nL\r\n"},  // last line without a line break gets one first
  };
  for (const auto& c : cases) EXPECT_EQ(platform::AppendScheduleLine(c.table, "L"), c.result) << c.table;
  EXPECT_EQ(platform::AppendScheduleLine(platform::AppendScheduleLine("", "1"), "2"), "1\r\n2\r\n");
}

TEST(WithCrLfLineEnds, MakesEveryKindOfLineEndCrLf) {
  EXPECT_EQ(platform::WithCrLfLineEnds("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(platform::WithCrLfLineEnds("\n\n\r\r\n"), "\r\n\r\n\r\n\r\n");
  EXPECT_EQ(platform::WithCrLfLineEnds(""), "");
}

class CrontabTable : public ::testing::Test {
 protected:
  platform::CrontabScheduleTable Table() { return {command_, (folder_ / "cron.bkp").string()}; }

  const testsupport::TempFolder temp_;
  const fs::path folder_ = temp_.Root();
  const testsupport::FakeCrontab crontab_{folder_};
  const std::string command_ = crontab_.Command();
};

TEST_F(CrontabTable, ExistsWhenTheCommandIsThere) {
  EXPECT_TRUE(Table().Exists());
  platform::CrontabScheduleTable missing((folder_ / "no-such-crontab").string(), "unused");
  EXPECT_FALSE(missing.Exists());
  platform::CrontabScheduleTable onPath("torvi-no-such-command-on-path", "unused");
  EXPECT_FALSE(onPath.Exists());
}

TEST_F(CrontabTable, LoadsWithCrLfLineEndsAndAnAbsentTableAsEmpty) {
  EXPECT_EQ(Table().Load(), "");
  WriteBytes(folder_ / "user-table", "# other jobs\n0 1 * * * /bin/true\n");
  EXPECT_EQ(Table().Load(), "# other jobs\r\n0 1 * * * /bin/true\r\n");
}

TEST_F(CrontabTable, UnreadableTableIsAnError) {
  fs::create_directory(folder_ / "user-table");  // unreadable as a table, even for root
  try {
    Table().Load();
    FAIL() << "no error";
  } catch (const platform::Exception& error) {
    EXPECT_EQ(std::string(error.Message()).rfind("Cannot open file \"" + command_ + " -l\". ", 0), 0u)
        << error.Message();
  }
}

TEST_F(CrontabTable, SaveKeepsThePreviousTableAsTheBackup) {
  auto table = Table();
  table.Save("0 1 * * * /bin/true\r\n");
  EXPECT_FALSE(fs::exists(folder_ / "cron.bkp"));  // there was no table before
  EXPECT_EQ(ReadBytes(folder_ / "user-table"), "0 1 * * * /bin/true\n");

  // The editor's text ends without a line break; cron needs one, so it is added.
  table.Save("0 1 * * * /bin/true\r\n30 22 * * * /opt/my programs/VAzeduz /noftp");
  EXPECT_EQ(ReadBytes(folder_ / "cron.bkp"), "0 1 * * * /bin/true\n");
  EXPECT_EQ(ReadBytes(folder_ / "user-table"),
            "0 1 * * * /bin/true\n30 22 * * * /opt/my programs/VAzeduz /noftp\n");

  table.Save("");
  EXPECT_EQ(ReadBytes(folder_ / "cron.bkp"),
            "0 1 * * * /bin/true\n30 22 * * * /opt/my programs/VAzeduz /noftp\n");
  EXPECT_EQ(ReadBytes(folder_ / "user-table"), "");
  for (const auto& entry : fs::directory_iterator(folder_)) {
    const auto name = entry.path().filename().string();
    EXPECT_TRUE(name == "crontab" || name == "user-table" || name == "cron.bkp") << "left behind: " << name;
  }
}

TEST_F(CrontabTable, BackupThatCannotBeWrittenIsPassedOver) {
  // An executable's folder the user cannot write to, as for a program installed for everyone.
  platform::CrontabScheduleTable table(command_, (folder_ / "missing" / "cron.bkp").string());
  table.Save("0 1 * * * /bin/true");
  table.Save("0 2 * * * /bin/true");
  EXPECT_EQ(ReadBytes(folder_ / "user-table"), "0 2 * * * /bin/true\n");
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

TEST_F(CrontabTable, RefusedTableIsAnErrorAndThePreviousOneStays) {
  if (!fs::exists("/usr/bin/crontab")) GTEST_SKIP() << "cron's own syntax check is not installed";
  auto table = Table();
  table.Save("0 1 * * * /bin/true\r\n");
  try {
    table.Save(platform::ComposeScheduleLine("  :  ", false, "/x"));  // untouched time field
    FAIL() << "no error";
  } catch (const platform::Exception& error) {
    EXPECT_EQ(std::string(error.Message()).rfind("Cannot create file \"" + command_ + "\". ", 0), 0u)
        << error.Message();
  }
  EXPECT_EQ(ReadBytes(folder_ / "user-table"), "0 1 * * * /bin/true\n");
  EXPECT_EQ(ReadBytes(folder_ / "cron.bkp"), "0 1 * * * /bin/true\n");
}

TEST_F(CrontabTable, CommandThatCannotStartIsAnError) {
  platform::CrontabScheduleTable missing((folder_ / "no-such-crontab").string(), (folder_ / "b").string());
  EXPECT_THROW(missing.Load(), platform::Exception);
  EXPECT_THROW(missing.Save("0 1 * * * /bin/true"), platform::Exception);
}

class FileTable : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder_ / "cron"); }
  std::string Path(const char* name) { return (folder_ / "cron" / name).string(); }
  platform::FileScheduleTable Table() {
    return {Path("cron.tab"), Path("cron.bkp"), [this] { ++downloadsOffered_; }};
  }

  const testsupport::TempFolder temp_;
  const fs::path folder_ = temp_.Root();
  int downloadsOffered_ = 0;
};

TEST_F(FileTable, MissingTableMeansTheSchedulerIsMissing) {
  auto table = Table();
  EXPECT_FALSE(table.Exists());
  EXPECT_EQ(table.InstallRequest(),
            "É necessário fazer o download do Agendador de Tarefas...\r Clique em Executar na próxima tela");
  EXPECT_EQ(downloadsOffered_, 1);
  WriteBytes(Path("cron.tab"), "");
  EXPECT_TRUE(table.Exists());
}

TEST_F(FileTable, LoadsWindows1252WithCrLfLineEnds) {
  WriteBytes(Path("cron.tab"), "# c\xF3pia\n0 1 * * * a\r2 3 * * * b\r\n4 5 * * * c");
  EXPECT_EQ(Table().Load(), "# cópia\r\n0 1 * * * a\r\n2 3 * * * b\r\n4 5 * * * c");
}

TEST_F(FileTable, SaveKeepsThePreviousTableAsTheBackup) {
  auto table = Table();
  WriteBytes(Path("cron.tab"), "first\r\n");
  table.Save("second\r\n# cópia");
  EXPECT_EQ(ReadBytes(Path("cron.tab")), "second\r\n# c\xF3pia");  // exactly the text, no line break added
  EXPECT_EQ(ReadBytes(Path("cron.bkp")), "first\r\n");
  table.Save("third");
  EXPECT_EQ(ReadBytes(Path("cron.tab")), "third");
  EXPECT_EQ(ReadBytes(Path("cron.bkp")), "second\r\n# c\xF3pia");
}

TEST_F(FileTable, TableThatCannotBeReadOrWrittenIsAnError) {
  fs::create_directory(Path("cron.tab"));  // a folder where the table should be
  try {
    Table().Load();
    FAIL() << "no error";
  } catch (const platform::Exception& error) {
    EXPECT_EQ(error.Message().rfind("Cannot open file \"" + Path("cron.tab") + "\". ", 0), 0u)
        << error.Message();
  }
  platform::FileScheduleTable nowhere((folder_ / "missing" / "cron.tab").string(),
                                      (folder_ / "missing" / "cron.bkp").string(), nullptr);
  try {
    nowhere.Save("0 1 * * * a");
    FAIL() << "no error";
  } catch (const platform::Exception& error) {
    EXPECT_EQ(error.Message().rfind(
                  "Cannot create file \"" + (folder_ / "missing" / "cron.tab").string() + "\". ", 0),
              0u)
        << error.Message();
  }
}

}  // namespace

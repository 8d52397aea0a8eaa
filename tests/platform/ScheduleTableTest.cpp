#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/Exception.h"
#include "platform/ScheduleTable.h"
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

// A stand-in for the crontab command that keeps the "user's table" in a file of the test's own folder.
// When the real command is installed, its dry run checks each new table's syntax first, so tables cron
// would refuse are refused here too.
class CrontabTable : public ::testing::Test {
 protected:
  void SetUp() override {
    command_ = (folder_ / "crontab").string();
    std::ofstream script(command_);
    script << "#!/bin/sh\n"
              "store=\"$(dirname \"$0\")/user-table\"\n"
              "if [ \"$1\" = -l ]; then\n"
              "  [ -e \"$store\" ] || { echo \"no crontab for tester\" >&2; exit 1; }\n"
              "  exec cat \"$store\"\n"
              "fi\n"
              "if [ -x /usr/bin/crontab ]; then /usr/bin/crontab -n \"$1\" >/dev/null || exit 1; fi\n"
              "cp \"$1\" \"$store\"\n";
    script.close();
    fs::permissions(command_, fs::perms::owner_all);
    // The new table is staged in the temporary folder: this test's own.
    const char* previous = std::getenv("TMPDIR");
    previousTmpdir_ = previous ? std::optional<std::string>(previous) : std::nullopt;
    setenv("TMPDIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (previousTmpdir_) {
      setenv("TMPDIR", previousTmpdir_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  platform::CrontabScheduleTable Table() { return {command_, (folder_ / "cron.bkp").string()}; }

  const testsupport::TempFolder temp_;
  const fs::path folder_ = temp_.Root();
  std::string command_;
  std::optional<std::string> previousTmpdir_;
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

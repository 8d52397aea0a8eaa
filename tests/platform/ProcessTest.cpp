#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/Process.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(RunAndWait, ReturnsTheExitCodeOrMinusOne) {
  TempFolder temp;
  WriteBytes(temp / "exit.sh", "exit \"$1\"\n");
  WriteBytes(temp / "killed.sh", "kill -9 $$\n");
  struct Case {
    std::string commandLine;
    int status;
  } cases[] = {
      {"/bin/sh " + temp / "exit.sh" + " 0", 0},
      {"/bin/sh " + temp / "exit.sh" + " 3", 3},
      {"/bin/sh " + temp / "exit.sh" + " 255", 255},
      {"//bin//sh " + temp / "exit.sh" + " 7", 7},  // doubled separators are harmless
      {"true", 0},                                  // found on the search path
      {"/bin/sh " + temp / "killed.sh", -1},        // ended by a signal
      {temp / "no-such-program", -1},
      {temp.Path(), -1},  // a folder cannot run
      {"", -1},
      {"   ", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::RunAndWait(c.commandLine), c.status) << c.commandLine;
}

TEST(RunAndWait, SplitsTheLineAtBlanksWithoutQuoting) {
  TempFolder temp;
  WriteBytes(temp / "args.sh", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$1\"\n");
  const std::string output = temp / "out";
  ASSERT_EQ(platform::RunAndWait("/bin/sh  " + temp / "args.sh" + " " + output + "  a\t\"b c\" -ep"), 0);
  EXPECT_EQ(ReadBytes(output), "[" + output + "][a][\"b][c\"][-ep]");
}

TEST(RunAndWait, AQuotedFirstWordNamesAProgramInAFolderWithBlanks) {
  TempFolder temp;
  std::filesystem::create_directory(temp / "Ana Maria");
  WriteBytes(temp / "Ana Maria/winrar.exe", "#!/bin/sh\nprintf '[%s]' \"$@\" > \"$1\"\n");
  std::filesystem::permissions(temp / "Ana Maria/winrar.exe", std::filesystem::perms::owner_all);
  const std::string output = temp / "out";
  ASSERT_EQ(platform::RunAndWait("\"" + temp / "Ana Maria/winrar.exe" + "\" " + output + " \"a\""), 0);
  EXPECT_EQ(ReadBytes(output), "[" + output + "][\"a\"]") << "only the first word is unquoted";
  EXPECT_EQ(platform::RunAndWait("\"" + temp / "Ana Maria/winrar.exe " + output), -1) << "no closing quote";
}

TEST(RunAndWait, HandsTheProgramExactlyTheGivenStandardInputAndNothingOnItsCommandLine) {
  TempFolder temp;
  // The program copies its standard input and its arguments.
  WriteBytes(temp / "read.sh", "cat > \"$1\"; printf '%s' \"$*\" > \"$1.args\"\n");
  const std::string output = temp / "in";
  const std::string secret = "Sênha secreta\n";
  struct Case {
    const char* what;
    std::string input;
  } cases[] = {
      {"a line", secret}, {"nothing", ""}, {"the limit", std::string(platform::kStandardInputLimit, 'x')}};
  for (const auto& c : cases) {
    ASSERT_EQ(platform::RunAndWait("/bin/sh " + temp / "read.sh" + " " + output, c.input, {}, {}), 0)
        << c.what;
    EXPECT_EQ(ReadBytes(output), c.input) << c.what;
    EXPECT_EQ(ReadBytes(output + ".args"), output) << c.what;
  }
  EXPECT_EQ(platform::RunAndWait("/bin/sh " + temp / "read.sh" + " " + output,
                                 std::string(platform::kStandardInputLimit + 1, 'x'), {}, {}),
            -1);
}

TEST(RunAndWait, TellsHowMuchTheProgramHasReadWhileItRuns) {
  TempFolder temp;
  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += "linha " + std::to_string(i) + "\n";
  WriteBytes(temp / "input", lines);
  // The shell reads the file itself, then waits on a child, so its own count stands still meanwhile.
  WriteBytes(temp / "read.sh", "while IFS= read -r line; do :; done < \"$1\"\nsleep 0.5\nexit 4\n");
  std::vector<std::int64_t> reports;
  const int status = platform::RunAndWait(
      "/bin/sh " + temp / "read.sh" + " " + temp / "input",
      [&reports](std::int64_t read) { reports.push_back(read); }, std::chrono::milliseconds(20));
  EXPECT_EQ(status, 4);
  ASSERT_FALSE(reports.empty());
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_GE(reports.back(), static_cast<std::int64_t>(lines.size()));
}

}  // namespace

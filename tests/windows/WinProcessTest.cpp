#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Files.h"
#include "platform/Process.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;

const std::string kProbe = "process-probe.exe";

TEST(WinProcess, RunsTheFirstWordWithTheOthersAsArgumentsAndReturnsTheExitCode) {
  TempFolder temp;
  const std::string probe = platform::ExecutableFolder() + kProbe;
  struct Case {
    std::string commandLine;
    int exitCode;
  };
  const Case cases[] = {
      {probe + " 0 " + temp.Path() + "report a -ep -ibck", 0},
      {probe + " 42 " + temp.Path() + "report", 42},
      {probe + " -7 " + temp.Path() + "report", -7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::RunAndWait(c.commandLine), c.exitCode) << c.commandLine;
  }
  EXPECT_EQ(platform::RunAndWait(probe + " 0 " + temp.Path() + "report a -ep C:\\torvi\\Backup\\*.bk"), 0);
  EXPECT_EQ(ReadBytes(temp / "report"), "a\n-ep\nC:\\torvi\\Backup\\*.bk\n") << "wildcards are not expanded";
}

TEST(WinProcess, StandardInputGivenReachesTheProgramWhole) {
  TempFolder temp;
  const std::string probe = platform::ExecutableFolder() + kProbe + " 0 " + temp.Path() + "report stdin";
  for (const std::string& input : {std::string("S\xC3\xAAnha \xE2\x82\xAC!\n"), std::string(),
                                   std::string(platform::kStandardInputLimit, 'x')}) {
    ASSERT_EQ(platform::RunAndWait(probe, input, {}, {}), 0);
    EXPECT_EQ(ReadBytes(temp / "report"), input);
  }
  EXPECT_EQ(platform::RunAndWait(probe, std::string(platform::kStandardInputLimit + 1, 'x'), {}, {}), -1);
}

TEST(WinProcess, ADoubledSeparatorAndANonAsciiFolderStillNameTheProgram) {
  TempFolder temp;
  const std::string folder = temp / "Cópia\\";
  ASSERT_TRUE(platform::CreateFolder(folder));
  ASSERT_TRUE(platform::CopyFile(platform::ExecutableFolder() + kProbe, folder + "winrar.exe"));
  EXPECT_EQ(platform::RunAndWait(folder + "\\winrar.exe 3 " + temp.Path() + "report x"), 3);
  EXPECT_EQ(ReadBytes(temp / "report"), "x\n");
}

TEST(WinProcess, AProgramThatCannotStartGivesMinusOne) {
  TempFolder temp;
  EXPECT_EQ(platform::RunAndWait(temp / "missing.exe a b"), -1);
  EXPECT_EQ(platform::RunAndWait(""), -1);
  testsupport::WriteBytes(temp / "notaprogram.exe", "text, not a program");
  EXPECT_EQ(platform::RunAndWait(temp / "notaprogram.exe"), -1);
}

TEST(WinProcess, ACrashIsReportedThroughItsExceptionCode) {
  const int accessViolation = static_cast<int>(static_cast<std::uint32_t>(0xC0000005));
  EXPECT_EQ(platform::RunAndWait(platform::ExecutableFolder() + kProbe + " crash"), accessViolation);
}

}  // namespace

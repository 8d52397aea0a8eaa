// The archiver program as the backup run calls it: its command line, exit codes and messages, and that
// it never leaves a partial archive behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tests/tools/rar/Readers.h"

namespace rar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAreArray;

const std::string kProgram = TORVI_RAR_PROGRAM;

TEST(RarProgram, WritesTheExactArchiveForASmallFile) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  WriteBytes(folder / "hello.txt", {'h', 'e', 'l', 'l', 'o', '\n'});
  ASSERT_EQ(RunCommand("TZ=UTC touch -d '2024-05-17 13:45:30' " + ShellQuote(folder / "hello.txt")).exitCode,
            0);

  const CommandResult run = RunCommand("TZ=UTC " + kProgram + " a -ep -ibck " + ShellQuote(folder / "h.rar") +
                                       " " + ShellQuote(folder / "hello.txt"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "");

  // Too small to gain from compression, so it is stored: marker, main header, file header
  // (Win32 host, archive attribute, version 20, FTIME of the file), data, end block.
  const std::vector<std::uint8_t> expected = {
      0x52, 0x61, 0x72, 0x21, 0x1a, 0x07, 0x00, 0xcf, 0x90, 0x73, 0x00, 0x00, 0x0d, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0xbf, 0x44, 0x74, 0x00, 0x80, 0x29, 0x00, 0x06, 0x00, 0x00,
      0x00, 0x06, 0x00, 0x00, 0x00, 0x02, 0x20, 0x30, 0x3a, 0x36, 0xaf, 0x6d, 0xb1, 0x58, 0x14,
      0x30, 0x09, 0x00, 0x20, 0x00, 0x00, 0x00, 0x68, 0x65, 0x6c, 0x6c, 0x6f, 0x2e, 0x74, 0x78,
      0x74, 0x68, 0x65, 0x6c, 0x6c, 0x6f, 0x0a, 0xc4, 0x3d, 0x7b, 0x00, 0x40, 0x07, 0x00};
  EXPECT_EQ(ReadBytes(folder / "h.rar"), expected);
}

TEST(RarProgram, NamesWithAccentsReadBackInBothReaders) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  const std::string name = "Relatório é ção.bk";
  WriteBytes(folder / name, std::vector<std::uint8_t>(3000, 'a'));
  const CommandResult run =
      RunCommand(kProgram + " a -ep -ibck " + ShellQuote(folder / "n.rar") + " " + ShellQuote(folder / name));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const ReadBack& back : {ReadWithBsdtar(folder / "n.rar", name), ReadWithUnar(folder / "n.rar")}) {
    ASSERT_TRUE(back.ok) << back.log;
    EXPECT_EQ(back.names, std::vector<std::string>{name});
    EXPECT_EQ(back.size, 3000u);
  }
}

TEST(RarProgram, StoresTheBareNameAndReplacesAnOldArchive) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  std::filesystem::create_directories(folder / "sub");
  WriteBytes(folder / "sub" / "bkp08122026210728.bk", {1, 2, 3});
  WriteBytes(folder / "bkp.rar", std::vector<std::uint8_t>(100, 0xEE));

  const CommandResult run = RunCommand(kProgram + " a -ep -ibck " + ShellQuote(folder / "bkp.rar") + " " +
                                       ShellQuote(folder / "sub" / "bkp08122026210728.bk"));
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const ReadBack back = ReadWithBsdtar(folder / "bkp.rar", "bkp08122026210728.bk");
  ASSERT_TRUE(back.ok) << back.log;
  EXPECT_EQ(back.names, std::vector<std::string>{"bkp08122026210728.bk"});
  EXPECT_EQ(back.size, 3u);
  EXPECT_THAT(testsupport::FileNames(folder), UnorderedElementsAreArray({"sub", "bkp.rar"}));
}

struct FailureCase {
  const char* label;
  std::string arguments;  // "ARCHIVE" and "INPUT" stand for paths in the test's folder
  int exitCode;
  const char* message;
};

std::string Expand(std::string text, const std::filesystem::path& folder) {
  for (const auto& [token, path] :
       {std::pair<std::string, std::filesystem::path>{"ARCHIVE", folder / "out.rar"},
        {"INPUT", folder / "in.bk"},
        {"MISSING", folder / "missing.bk"},
        {"NOFOLDER", folder / "no" / "out.rar"},
        {"SUBFOLDER", folder / "sub"}}) {
    for (std::size_t at; (at = text.find(token)) != std::string::npos;)
      text.replace(at, token.size(), ShellQuote(path));
  }
  return text;
}

TEST(RarProgram, RefusesBadInputWithAMessageAndLeavesNoArchive) {
  const std::vector<FailureCase> cases = {
      {"missing input", "a -ep -ibck ARCHIVE MISSING", 6, "missing.bk\": No such file or directory"},
      {"input is a folder", "a -ep -ibck ARCHIVE SUBFOLDER", 6, "is a folder"},
      {"archive folder missing", "a -ep -ibck NOFOLDER INPUT", 9, "cannot create"},
      {"archive name taken by a folder", "a -ep -ibck SUBFOLDER INPUT", 9, "cannot create"},
      {"no arguments", "", 7, "usage: torvi-rar a -ep -ibck [-p | -hp] <archive> <file>"},
      {"other command", "x -ep -ibck ARCHIVE INPUT", 7, "usage:"},
      {"switch missing", "a -ibck ARCHIVE INPUT", 7, "usage:"},
      {"extra argument", "a -ep -ibck ARCHIVE INPUT INPUT", 7, "usage:"},
      {"unknown switch", "a -ep -ibck -m5 ARCHIVE INPUT", 7, "usage:"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.label);
    const testsupport::TempFolder temp;
    const std::filesystem::path& folder = temp.Root();
    WriteBytes(folder / "in.bk", std::vector<std::uint8_t>(5000, 'x'));
    std::filesystem::create_directory(folder / "sub");
    const CommandResult run = RunCommand(kProgram + " " + Expand(c.arguments, folder));
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.output, HasSubstr(c.message));
    EXPECT_THAT(testsupport::FileNames(folder), UnorderedElementsAreArray({"in.bk", "sub"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
  }
}

TEST(RarProgram, KeepsAnOldArchiveWhenItCannotWriteTheNewOne) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  const std::vector<std::uint8_t> old(100, 0xEE);
  WriteBytes(folder / "out.rar", old);
  const CommandResult run = RunCommand(kProgram + " a -ep -ibck " + ShellQuote(folder / "out.rar") + " " +
                                       ShellQuote(folder / "missing.bk"));
  EXPECT_EQ(run.exitCode, 6);
  EXPECT_EQ(ReadBytes(folder / "out.rar"), old);
  EXPECT_EQ(testsupport::FileNames(folder), std::vector<std::string>{"out.rar"});
}

TEST(RarProgram, AnArchiverKilledHalfwayLeavesOnlyAFileTheArchiveMaskClears) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  const std::filesystem::path input = folder / "bkp1.bk";
  std::ofstream(input).close();
  std::filesystem::resize_file(input, std::uint64_t{4} << 30);  // sparse, and long enough to catch
  const std::string archive = (folder / "bkp1.rar").string();
  const std::string inputPath = input.string();
  std::vector<std::string> words{kProgram, "a", "-ep", "-ibck", archive, inputPath};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t archiver = 0;
  ASSERT_EQ(::posix_spawn(&archiver, argv[0], nullptr, nullptr, argv.data(), nullptr), 0);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (testsupport::FileNames(folder).size() < 2 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ::kill(archiver, SIGKILL);
  int status = 0;
  ::waitpid(archiver, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the archiver ended before it could be killed";

  std::vector<std::string> left = testsupport::FileNames(folder);
  std::erase(left, "bkp1.bk");
  ASSERT_EQ(left.size(), 1u);
  EXPECT_THAT(left[0], ::testing::MatchesRegex("bkp1\\.tmp[0-9]+\\.rar"));
}

}  // namespace
}  // namespace rar::testing

// Inputs from the real world of the backup run: a file over 4 GiB, which needs the large-file header
// fields, and a Firebird backup made by a private server, which must restore after the round trip.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fixtures/firebird/FirebirdServer.h"
#include "tests/support/TempFolder.h"
#include "tests/tools/rar/Readers.h"
#include "tools/rar/ArchiveWriter.h"

namespace rar::testing {
namespace {

const std::string kProgram = TORVI_RAR_PROGRAM;

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
         std::uint32_t{bytes[at + 3]} << 24;
}

constexpr std::uint64_t kBigSize = std::uint64_t{5} << 30;

// A 5 GiB file of zeros with markers at its start, just past 4 GiB and at its end; sparse, so the zeros
// cost no disk.
void WriteBigFile(const std::filesystem::path& input) {
  std::ofstream(input).close();
  std::filesystem::resize_file(input, kBigSize);
  std::fstream file(input, std::ios::in | std::ios::out | std::ios::binary);
  for (const std::uint64_t at : {std::uint64_t{0}, (std::uint64_t{4} << 30) + 3, kBigSize - 7}) {
    file.seekp(static_cast<std::streamoff>(at));
    file.write("marker!", 7);
  }
  ASSERT_TRUE(file);
}

TEST(RarLargeInput, FileOverFourGigabytesKeepsItsSizeAndContent) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  const std::filesystem::path input = folder / "big.bk";
  const std::uint64_t size = kBigSize;
  ASSERT_NO_FATAL_FAILURE(WriteBigFile(input));

  CreateArchive(folder / "big.rar", input);

  const std::vector<std::uint8_t> archive = ReadBytes(folder / "big.rar");
  const std::size_t header = 7 + 13;
  ASSERT_GT(archive.size(), header + 40);
  EXPECT_EQ(archive[header + 4] & 0x01, 0x01) << "large-file flag (0x100)";
  EXPECT_EQ(archive[header + 25], 0x33) << "compressed";
  EXPECT_EQ(Read32(archive, header + 11), static_cast<std::uint32_t>(size)) << "UNP_SIZE";
  EXPECT_EQ(Read32(archive, header + 36), static_cast<std::uint32_t>(size >> 32)) << "HIGH_UNP_SIZE";
  const std::uint64_t packed = Read32(archive, header + 7) | std::uint64_t{Read32(archive, header + 32)}
                                                                 << 32;
  EXPECT_EQ(archive.size(), header + 32 + 8 + 6 + packed + 7);

  for (const CommandResult& compare :
       {CompareWithBsdtar(folder / "big.rar", "big.bk", input), CompareWithUnar(folder / "big.rar", input)}) {
    EXPECT_EQ(compare.exitCode, 0) << compare.output;
  }
  EXPECT_EQ(RunCommand("bsdtar -tf " + ShellQuote(folder / "big.rar")).output, "big.bk\n");
}

TEST(RarLargeInput, FileOverFourGigabytesEncryptedWithItsNameOpensWithThePassword) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  const std::filesystem::path input = folder / "big.bk";
  ASSERT_NO_FATAL_FAILURE(WriteBigFile(input));

  CreateArchive(folder / "big.rar", input, {.password = u"Grande-Açaí", .encryptHeaders = true});

  EXPECT_EQ(CompareWithUnar(folder / "big.rar", input, "Grande-Açaí").exitCode, 0);
  EXPECT_NE(CompareWithUnar(folder / "big.rar", input, "Grande-Acai").exitCode, 0);
  EXPECT_NE(RunCommand("bsdtar -tf " + ShellQuote(folder / "big.rar")).exitCode, 0);
}

TEST(RarRealInput, FirebirdBackupRestoresAfterTheRoundTrip) {
  fixtures::FirebirdServer server;
  const std::string database = server.CreateSampleDatabase();
  const std::filesystem::path backup = server.Folder() + "backup/bkp08122026210728.bk";
  server.GbakBackupReport(database, backup.string());
  const std::filesystem::path archive = server.Folder() + "backup/bkp08122026210728.rar";

  const CommandResult run =
      RunCommand(kProgram + " a -ep -ibck " + ShellQuote(archive) + " " + ShellQuote(backup));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_LT(std::filesystem::file_size(archive), std::filesystem::file_size(backup) / 2);

  const ReadBack original = Summarize(backup);
  for (const ReadBack& back : {ReadWithBsdtar(archive, backup.filename().string()), ReadWithUnar(archive)}) {
    ASSERT_TRUE(back.ok) << back.log;
    EXPECT_EQ(back.size, original.size);
    EXPECT_EQ(back.crc, original.crc);
  }

  const std::filesystem::path extracted = server.Folder() + "backup/extracted.bk";
  ASSERT_EQ(RunCommand("bsdtar -xOf " + ShellQuote(archive) + " > " + ShellQuote(extracted)).exitCode, 0);
  const fixtures::CommandResult restore =
      server.Restore(extracted.string(), server.Folder() + "data/restored.fdb");
  EXPECT_EQ(restore.exitCode, 0) << restore.output;
  EXPECT_NE(
      server.Sql(server.Folder() + "data/restored.fdb", "select count(*) from orders;").output.find("10000"),
      std::string::npos);
}

}  // namespace
}  // namespace rar::testing

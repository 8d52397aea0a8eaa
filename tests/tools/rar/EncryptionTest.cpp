// Encrypted archives as the backup run asks for them (password on standard input), opened by unar with
// the password and by nothing without it; and the passwords the archiver refuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tests/tools/rar/Readers.h"
#include "tools/rar/Error.h"
#include "tools/rar/Password.h"

namespace rar::testing {
namespace {

using ::testing::HasSubstr;

const std::string kProgram = TORVI_RAR_PROGRAM;

std::vector<std::uint8_t> Text(std::size_t size) {
  const std::string line = "INSERT INTO VENDAS VALUES (1042, 'Padaria São João', 17.50);\n";
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < size) bytes.insert(bytes.end(), line.begin(), line.end());
  bytes.resize(size);
  return bytes;
}

std::vector<std::uint8_t> Noise(std::size_t size) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

// Runs the archiver with the password on its standard input, as the backup run does.
CommandResult Archive(const std::filesystem::path& archive, const std::filesystem::path& input,
                      const std::string& password, bool hideNames) {
  return RunCommand("printf '%s\\n' " + ShellQuote(password) + " | " + kProgram + " a -ep -ibck " +
                    (hideNames ? "-hp " : "-p ") + ShellQuote(archive) + " " + ShellQuote(input));
}

bool Contains(const std::vector<std::uint8_t>& haystack, const std::string& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

struct Case {
  const char* what;
  std::string password;
  std::vector<std::uint8_t> content;
};

class RarEncryption : public ::testing::TestWithParam<bool> {};

TEST_P(RarEncryption, UnarOpensEveryArchiveWithThePasswordAndNothingReadsItWithout) {
  const bool hideNames = GetParam();
  const std::vector<Case> cases = {
      {"accents and symbols (UTF-16LE seed)", "Sênha-ÇÃO_ü€ #!$%&*()[]{}'\"\\", Text(300'000)},
      {"one character, incompressible data stored", "x", Noise(70'000)},
      // 126 units: the longest every reader takes whole; the seed spans several hash blocks, so the
      // format's block-rewriting quirk shapes the key.
      {"126 characters", std::string(60, 'k') + std::string(33, 'a') + "ção" + std::string(30, 'Z'),
       Text(5'000)},
      {"29 characters, the shortest seed the quirk touches", std::string(29, 'q'), Text(1'000)},
      {"file of 0 bytes", "segredo", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testsupport::TempFolder temp;
    const std::filesystem::path& folder = temp.Root();
    const std::filesystem::path input = folder / "bkp10122026170000.bk";
    const std::filesystem::path archive = folder / "bkp10122026170000.rar";
    WriteBytes(input, c.content);

    const CommandResult run = Archive(archive, input, c.password, hideNames);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::uint8_t> bytes = ReadBytes(archive);
    EXPECT_EQ(Contains(bytes, "bkp10122026170000.bk"), !hideNames) << "name in clear";

    const ReadBack original = Summarize(input);
    const ReadBack opened = ReadWithUnar(archive, c.password);
    ASSERT_TRUE(opened.ok) << opened.log;
    EXPECT_EQ(opened.names, std::vector<std::string>{"bkp10122026170000.bk"});
    EXPECT_EQ(opened.size, original.size);
    EXPECT_EQ(opened.crc, original.crc);

    if (c.content.empty()) continue;  // no data to keep from anyone
    std::string nearMiss = c.password;
    nearMiss[0] ^= 1;  // an ASCII letter in every case
    for (const std::string& wrong : {std::string("wrong"), nearMiss, std::string()}) {
      const ReadBack refused = ReadWithUnar(archive, wrong);
      EXPECT_FALSE(refused.ok && refused.crc == original.crc) << "opened with \"" << wrong << "\"";
    }
    const ReadBack tar = ReadWithBsdtar(archive, "bkp10122026170000.bk");
    EXPECT_FALSE(tar.ok && tar.crc == original.crc) << "bsdtar read the data in clear";
    if (hideNames) {
      EXPECT_THAT(tar.log, HasSubstr("encryption")) << "bsdtar reports the encryption";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(DataOnlyAndHeadersToo, RarEncryption, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "HeadersToo" : "DataOnly"; });

TEST(RarEncryptionProgram, RefusesUnusablePasswordsAndLeavesNoArchive) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  WriteBytes(folder / "b.bk", Text(1000));
  const struct {
    const char* what;
    std::string input;
    const char* message;
  } cases[] = {
      {"empty line", "\\n", "the password is empty"},
      {"nothing at all", "", "the password is empty"},
      {"127 characters", std::string(127, 'a') + "\\n", "longer than 126 characters"},
      {"a tab", "a\\tb\\n", "control character"},
      {"malformed UTF-8", "\\377abc\\n", "not valid UTF-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CommandResult run = RunCommand("printf '" + c.input + "' | " + kProgram + " a -ep -ibck -p " +
                                         ShellQuote(folder / "b.rar") + " " + ShellQuote(folder / "b.bk"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.output, HasSubstr(c.message));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "only the input is left";
  }
}

TEST(RarEncryptionProgram, AWriteThatFailsHalfwayLeavesTheOldArchiveAndNoPart) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  WriteBytes(folder / "b.bk", Noise(1'000'000));
  const std::vector<std::uint8_t> old(100, 0xEE);
  WriteBytes(folder / "b.rar", old);
  // Files of this process may not grow past 200 KiB: the archive's writes fail well before its end.
  const CommandResult run =
      RunCommand("trap '' XFSZ; ulimit -f 400; printf 'segredo\\n' | " + kProgram + " a -ep -ibck -hp " +
                 ShellQuote(folder / "b.rar") + " " + ShellQuote(folder / "b.bk"));
  EXPECT_EQ(run.exitCode, 9);
  EXPECT_THAT(run.output, HasSubstr("cannot write"));
  EXPECT_EQ(ReadBytes(folder / "b.rar"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "no partial archive";
}

TEST(RarEncryptionProgram, PasswordLengthCountsUtf16Units) {
  std::string accented;  // 126 letters, 252 bytes of UTF-8
  for (int i = 0; i < 126; ++i) accented += "é";
  EXPECT_EQ(PasswordFromUtf8(accented).size(), 126u);
  EXPECT_THROW(PasswordFromUtf8(accented + "é"), Error);
  const std::string key = "\xF0\x9F\x94\x91";  // outside the first plane: two units
  EXPECT_EQ(PasswordFromUtf8(key), std::u16string(u"\U0001F511"));
  EXPECT_THROW(PasswordFromUtf8(std::string(125, 'a') + key), Error);
}

}  // namespace
}  // namespace rar::testing

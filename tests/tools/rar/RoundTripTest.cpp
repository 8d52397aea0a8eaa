// Archives written by the library read back byte for byte through two independent readers: bsdtar
// (libarchive) and unar. Compressible input is compressed, input that does not compress is stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tests/tools/rar/Readers.h"
#include "tools/rar/ArchiveWriter.h"
#include "tools/rar/Crc32.h"

namespace rar::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kWindow = 4 * kMiB;  // the format's history, and the readers' decode window
constexpr std::uint8_t kStored = 0x30;
constexpr std::uint8_t kCompressed = 0x33;
constexpr std::size_t kMethodOffset = 7 + 13 + 25;  // marker, main header, file header up to METHOD

Bytes Random(std::size_t size, std::uint32_t seed, unsigned alphabet = 256) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % alphabet);
  return bytes;
}

// Words drawn from a small vocabulary, like logs and reports.
Bytes Text(std::size_t size, std::uint32_t seed) {
  static const std::vector<std::string> words = {
      "backup", "arquivo", "servidor", "conexão", "tabela", "registro", "cliente",
      "pedido", "total",   "data",     "valor",   "nota",   "firebird", "\n",
      ", ",     "Ormelin", "2026",     "é",       "não",    "the",      "of"};
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size) {
    const std::string& word = words[random() % words.size()];
    bytes.insert(bytes.end(), word.begin(), word.end());
    bytes.push_back(' ');
  }
  bytes.resize(size);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Repeat(const Bytes& unit, std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = unit[i % unit.size()];
  return bytes;
}

struct Case {
  const char* label;
  std::function<Bytes()> make;
  std::uint8_t method;
};

TEST(RarRoundTrip, BothReadersExtractWhatWasArchived) {
  const std::vector<Case> cases = {
      {"empty", [] { return Bytes{}; }, kStored},
      {"one byte", [] { return Bytes{0x41}; }, kStored},
      {"zeros", [] { return Bytes(3 * kMiB, 0); }, kCompressed},
      {"runs of varying length",
       [] {
         Bytes bytes;
         std::mt19937 random(7);
         while (bytes.size() < 2 * kMiB)
           bytes.insert(bytes.end(), 1 + random() % 600, static_cast<std::uint8_t>(random()));
         return bytes;
       },
       kCompressed},
      {"short text", [] { return Text(400, 12); }, kCompressed},
      {"text, many blocks", [] { return Text(3 * kMiB, 1); }, kCompressed},
      {"random", [] { return Random(kMiB, 2); }, kStored},
      // The start compresses a little, so compression begins; the random rest outweighs that gain, so
      // the file is written again, stored.
      {"compressible start, random rest",
       [] {
         return Concat({Random(kMiB, 10, 220), Random(40 * kMiB, 11)});
       },
       kStored},
      {"random over a small alphabet", [] { return Random(2 * kMiB, 3, 16); }, kCompressed},
      // Long matches run into every 4 MiB boundary of the output and the window slides at 8 MiB.
      {"repeated pattern across 4 MiB boundaries", [] { return Repeat(Random(1000, 4), 9 * kMiB + 123); },
       kCompressed},
      {"window size minus one", [] { return Repeat(Text(5000, 5), kWindow - 1); }, kCompressed},
      {"window size", [] { return Repeat(Text(5000, 5), kWindow); }, kCompressed},
      {"window size plus one", [] { return Repeat(Text(5000, 5), kWindow + 1); }, kCompressed},
      // A random piece seen again from nearly the farthest distance, and once more from too far.
      {"repeats at the edge of the window",
       [] {
         const Bytes piece = Random(kMiB / 2, 6);
         return Concat({piece, Text(kWindow - kMiB / 2 - 100, 7), piece, Text(kWindow + 1000, 8), piece});
       },
       kCompressed},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const testsupport::TempFolder temp;
    const std::filesystem::path& folder = temp.Root();
    const Bytes input = c.make();
    const std::string name = "bkp08122026210728.bk";
    WriteBytes(folder / name, input);
    CreateArchive(folder / "a.rar", folder / name);

    const Bytes archive = ReadBytes(folder / "a.rar");
    ASSERT_GT(archive.size(), kMethodOffset);
    EXPECT_EQ(archive[kMethodOffset], c.method);
    if (c.method == kCompressed) {
      EXPECT_LT(archive.size(), input.size());
    } else {
      // Stored entries cost only the headers: 7 + 13 + 32 + name + 7 bytes.
      EXPECT_EQ(archive.size(), input.size() + 59 + name.size());
    }

    const std::uint32_t crc = Crc32::Of(input);
    for (const ReadBack& back : {ReadWithBsdtar(folder / "a.rar", name), ReadWithUnar(folder / "a.rar")}) {
      ASSERT_TRUE(back.ok) << back.log;
      EXPECT_EQ(back.names, std::vector<std::string>{name});
      EXPECT_EQ(back.size, input.size());
      EXPECT_EQ(back.crc, crc);
    }
  }
}

TEST(RarRoundTrip, StoreOnlyWritesTheSameBytes) {
  const testsupport::TempFolder temp;
  const std::filesystem::path& folder = temp.Root();
  const Bytes input = Text(100000, 9);
  WriteBytes(folder / "t.txt", input);
  CreateArchive(folder / "t.rar", folder / "t.txt", {.compress = false});
  const Bytes archive = ReadBytes(folder / "t.rar");
  EXPECT_EQ(archive[kMethodOffset], kStored);
  EXPECT_TRUE(std::search(archive.begin(), archive.end(), input.begin(), input.end()) != archive.end());
  const ReadBack back = ReadWithUnar(folder / "t.rar");
  ASSERT_TRUE(back.ok) << back.log;
  EXPECT_EQ(back.crc, Crc32::Of(input));
}

}  // namespace
}  // namespace rar::testing

// Every kind of symbol the stream can carry, written from hand-made tokens and read back by both
// readers: the parser alone would not reach all of them (short matches, the length bonuses at
// 8 KB and 256 KB, all four repeat slots, the repeat of the last match, tables switched mid-stream).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <vector>

#include "tests/support/TempFolder.h"
#include "tests/tools/rar/InMemoryArchive.h"
#include "tests/tools/rar/Readers.h"
#include "tools/rar/BitWriter.h"
#include "tools/rar/BlockEncoder.h"
#include "tools/rar/Crc32.h"

namespace rar::testing {
namespace {

// What a decoder makes of the tokens.
std::vector<std::uint8_t> Expand(const std::vector<Token>& tokens) {
  std::vector<std::uint8_t> out;
  for (const Token& token : tokens) {
    if (token.length == 0) {
      out.push_back(static_cast<std::uint8_t>(token.value));
      continue;
    }
    for (std::uint32_t i = 0; i < token.length; ++i) out.push_back(out[out.size() - token.value]);
  }
  return out;
}

std::vector<Token> Literals(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < count; ++i) tokens.push_back({0, static_cast<std::uint32_t>(random() % 256)});
  return tokens;
}

TEST(RarBlockEncoder, EverySymbolKindReadsBack) {
  std::vector<std::vector<Token>> blocks;
  blocks.push_back(Literals(300, 1));
  // Short matches (length 2) in every short-distance slot, each distance new.
  blocks.push_back({});
  for (const std::uint32_t distance :
       {1u, 4u, 5u, 8u, 9u, 16u, 17u, 32u, 33u, 64u, 65u, 128u, 129u, 192u, 193u, 256u})
    blocks.back().push_back({2, distance});
  blocks.push_back(Literals(0x41000, 2));
  // New distances at the smallest lengths allowed around the bonus thresholds, raw and low-table bits.
  blocks.push_back({{3, 100},
                    {3, 0x1FFF},
                    {4, 0x2000},
                    {4, 0x3FFFF},
                    {5, 0x40000},
                    {257, 0x40001},
                    {6, 1000},
                    {7, 65537},
                    {0, 'x'},
                    // The recent distances are now 65537, 1000, 0x40001, 0x40000: repeats from slots 3, 2,
                    // 3, 2, the last match twice, a new distance, then a repeat from slot 1.
                    {2, 0x40000},
                    {10, 1000},
                    {257, 0x40001},
                    {3, 0x40000},
                    {3, 0x40000},  // the same match again: one symbol
                    {3, 0x40000},
                    {0, 'y'},
                    {200, 1},
                    {5, 0x40000}});
  blocks.push_back(Literals(1000, 3));
  blocks.push_back({{4, 1000}, {4, 1000}});  // a repeat across a table switch

  std::vector<Token> all;
  for (const auto& block : blocks) all.insert(all.end(), block.begin(), block.end());
  const std::vector<std::uint8_t> original = Expand(all);

  std::vector<std::uint8_t> packed;
  BitWriter bits(packed);
  BlockEncoder encoder;
  for (std::size_t i = 0; i < blocks.size(); ++i) encoder.Write(blocks[i], i + 1 == blocks.size(), bits);
  bits.AlignToByte();
  bits.Put(0, 16);

  const std::vector<std::uint8_t> archive = WrapCompressed(packed, original, 0x40001);
  const auto extracted = ExtractWithLibarchive(archive, original.size());
  ASSERT_TRUE(extracted.has_value());
  EXPECT_TRUE(*extracted == original);

  const testsupport::TempFolder temp;

  const std::filesystem::path& folder = temp.Root();
  WriteBytes(folder / "a.rar", archive);
  const ReadBack back = ReadWithUnar(folder / "a.rar");
  ASSERT_TRUE(back.ok) << back.log;
  EXPECT_EQ(back.size, original.size());
  EXPECT_EQ(back.crc, Crc32::Of(original));
}

}  // namespace
}  // namespace rar::testing

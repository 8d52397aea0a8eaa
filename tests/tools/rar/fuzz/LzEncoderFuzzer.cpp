// Compresses arbitrary input and checks that libarchive reads the archive back byte for byte.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "tests/tools/rar/InMemoryArchive.h"
#include "tools/rar/LzEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An empty entry is always stored; the compressed stream needs at least one byte.
  if (size < 2) return 0;
  const std::span<const std::uint8_t> input(data + 1, size - 1);

  std::vector<std::uint8_t> packed;
  rar::LzEncoder encoder(
      [&](std::span<const std::uint8_t> bytes) { packed.insert(packed.end(), bytes.begin(), bytes.end()); });
  // The first byte chooses where a block is cut early, as the archiver does after its first chunk.
  const std::size_t cut = data[0] % 2 == 0 ? input.size() : input.size() * data[0] / 256;
  encoder.Write(input.first(cut));
  encoder.FlushBlock();
  encoder.Write(input.subspan(cut));
  encoder.Finish();

  const auto archive = rar::testing::WrapCompressed(packed, input, encoder.LargestDistance());
  const auto extracted = rar::testing::ExtractWithLibarchive(archive, input.size());
  if (!extracted || !std::equal(extracted->begin(), extracted->end(), input.begin(), input.end()))
    std::abort();
  return 0;
}

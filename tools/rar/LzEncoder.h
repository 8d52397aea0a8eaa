#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tools/rar/BlockEncoder.h"
#include "tools/rar/DistanceHistory.h"
#include "tools/rar/MatchFinder.h"
#include "tools/rar/Token.h"

namespace rar {

// Compresses a byte stream into the RAR 2.9 LZ format (the data of an entry of method 0x33, version
// 29): greedy-with-one-step-lazy parsing over a 4 MiB window, repeats of recent distances, and Huffman
// tables rebuilt for every block. Input comes in pieces of any size; compressed bytes go to the sink
// as they are produced, so memory stays bounded.
class LzEncoder {
 public:
  using Sink = std::function<void(std::span<const std::uint8_t>)>;

  explicit LzEncoder(Sink sink);

  void Write(std::span<const std::uint8_t> data);
  // Sends everything parsed so far to the sink as a finished block (the stream goes on with new
  // tables); the last few hundred bytes written may still wait for more input.
  void FlushBlock();
  // Ends the stream: the rest of the input, the end-of-file marker and two zero bytes of padding
  // that let readers look ahead past the last symbol.
  void Finish();

  std::uint64_t PackedSize() const { return packedSize_; }
  // The largest match distance used, for the dictionary size in the file header.
  std::uint32_t LargestDistance() const { return largestDistance_; }

 private:
  void Parse(bool finishing);
  void EmitLiteral();
  void EmitMatch(const Match& match);
  void WriteBlock(bool last);
  void Drain();

  Sink sink_;
  MatchFinder finder_;
  DistanceHistory history_;
  BlockEncoder blocks_;
  std::vector<Token> tokens_;
  std::vector<std::uint8_t> output_;
  BitWriter bits_;
  std::uint64_t packedSize_ = 0;
  std::uint32_t largestDistance_ = 0;
  bool finished_ = false;
};

}  // namespace rar

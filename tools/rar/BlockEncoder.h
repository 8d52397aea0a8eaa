#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/rar/BitWriter.h"
#include "tools/rar/DistanceHistory.h"
#include "tools/rar/Token.h"

namespace rar {

// Writes tokens as blocks of the RAR 2.9 LZ stream: each block carries its own Huffman tables, built
// from that block's symbol counts, and ends with the end-of-block symbol. The encoder mirrors the
// decoder's recent-distance list, so a match at a recent distance is sent as a repeat, and the same
// match as the last one as a single symbol.
class BlockEncoder {
 public:
  // What the decoder remembers between symbols: the recent distances and the last match's length.
  struct State {
    DistanceHistory history;
    std::uint32_t lastLength = 0;
  };

  // `last`: the block ends the stream (end-of-file marker); otherwise new tables follow.
  void Write(std::span<const Token> tokens, bool last, BitWriter& out);

 private:
  struct Tables;
  void CountSymbols(std::span<const Token> tokens, Tables& tables) const;
  static void WriteTables(const Tables& tables, BitWriter& out);
  void WriteSymbols(std::span<const Token> tokens, const Tables& tables, BitWriter& out);

  State state_;
};

}  // namespace rar

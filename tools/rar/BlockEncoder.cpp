#include "tools/rar/BlockEncoder.h"

#include <algorithm>
#include <array>

#include "tools/rar/Alphabet.h"
#include "tools/rar/Error.h"
#include "tools/rar/Huffman.h"

namespace rar {

using namespace alphabet;

namespace {

enum TableId { kMain, kDistance, kLowDistance, kLength, kTableCount };
constexpr std::array<unsigned, kTableCount> kTableSizes = {kMainSize, kDistanceSize, kLowDistanceSize,
                                                           kLengthSize};

// Code-length symbols of the table header: 0..15 a length, then the run codes.
constexpr unsigned kRepeatShort = 16;  // previous length 3..10 more times
constexpr unsigned kRepeatLong = 17;   // previous length 11..138 more times
constexpr unsigned kZerosShort = 18;   // 3..10 zeros
constexpr unsigned kZerosLong = 19;    // 11..138 zeros

constexpr std::array<std::uint8_t, 256> MakeLengthSlots() {
  std::array<std::uint8_t, 256> slots{};
  for (unsigned slot = 0; slot < kLengthSize; ++slot)
    for (unsigned v = kLengthBase[slot]; v < kLengthBase[slot] + (1u << kLengthBits[slot]); ++v)
      slots[v] = static_cast<std::uint8_t>(slot);
  return slots;
}
constexpr std::array<std::uint8_t, 256> kLengthSlots = MakeLengthSlots();

unsigned DistanceSlot(std::uint32_t distanceMinusOne) {
  const auto& base = kDistanceSlots.base;
  return static_cast<unsigned>(std::upper_bound(base.begin(), base.end(), distanceMinusOne) - base.begin() -
                               1);
}

unsigned ShortSlot(std::uint32_t distance) {
  unsigned slot = 7;
  while (kShortBase[slot] >= distance) --slot;
  return slot;
}

// Turns tokens into symbols and extra bits, updating the recent distances as the decoder will.
template <typename Visitor>
void Translate(std::span<const Token> tokens, BlockEncoder::State& state, Visitor& visit) {
  for (const Token& token : tokens) {
    if (token.length == 0) {
      visit.Symbol(kMain, token.value);
      continue;
    }
    const std::uint32_t distance = token.value;
    const bool sameAsLast = token.length == state.lastLength && distance == state.history.At(0);
    state.lastLength = token.length;
    const int repeated = state.history.Use(distance);
    if (sameAsLast) {
      visit.Symbol(kMain, kRepeatLastMatch);
    } else if (repeated != DistanceHistory::kNotFound) {
      const unsigned value = token.length - kMinRepeatLength;
      const unsigned slot = kLengthSlots[value];
      visit.Symbol(kMain, kRepeatDistance + static_cast<unsigned>(repeated));
      visit.Symbol(kLength, slot);
      visit.Bits(value - kLengthBase[slot], kLengthBits[slot]);
    } else if (token.length == 2) {
      const unsigned slot = ShortSlot(distance);
      visit.Symbol(kMain, kShortMatch + slot);
      visit.Bits(distance - 1 - kShortBase[slot], kShortBits[slot]);
    } else {
      const unsigned value = token.length - LengthBonus(distance) - 3;
      const unsigned slot = kLengthSlots[value];
      visit.Symbol(kMain, kNewMatch + slot);
      visit.Bits(value - kLengthBase[slot], kLengthBits[slot]);
      const unsigned ds = DistanceSlot(distance - 1);
      const std::uint32_t extra = distance - 1 - kDistanceSlots.base[ds];
      const unsigned bits = kDistanceSlots.bits[ds];
      visit.Symbol(kDistance, ds);
      if (ds > kLastRawDistanceSlot) {
        visit.Bits(extra >> 4, bits - 4);
        visit.Symbol(kLowDistance, extra & 15u);
      } else {
        visit.Bits(extra, bits);
      }
    }
  }
}

// Run-length codes of a table header's code lengths: (symbol, extra bits value, extra bit count).
struct LengthCode {
  unsigned symbol;
  unsigned extra;
  unsigned extraBits;
};

std::vector<LengthCode> RunLengthCodes(std::span<const std::uint8_t> lengths) {
  std::vector<LengthCode> codes;
  for (std::size_t i = 0; i < lengths.size();) {
    const std::uint8_t length = lengths[i];
    std::size_t run = 1;
    while (i + run < lengths.size() && lengths[i + run] == length) ++run;
    i += run;
    if (length != 0) {
      codes.push_back({length, 0, 0});
      --run;
    }
    const unsigned shortCode = length == 0 ? kZerosShort : kRepeatShort;
    const unsigned longCode = length == 0 ? kZerosLong : kRepeatLong;
    while (run >= 11) {
      const std::size_t part = std::min<std::size_t>(run, 138);
      codes.push_back({longCode, static_cast<unsigned>(part - 11), 7});
      run -= part;
    }
    if (run >= 3) {
      codes.push_back({shortCode, static_cast<unsigned>(run - 3), 3});
      run = 0;
    }
    for (; run > 0; --run) codes.push_back({length, 0, 0});
  }
  return codes;
}

}  // namespace

struct BlockEncoder::Tables {
  std::array<std::vector<std::uint32_t>, kTableCount> counts;
  std::array<std::vector<std::uint8_t>, kTableCount> lengths;
  std::array<std::vector<std::uint16_t>, kTableCount> codes;

  Tables() {
    for (int t = 0; t < kTableCount; ++t)
      counts[static_cast<std::size_t>(t)].assign(kTableSizes[static_cast<std::size_t>(t)], 0);
  }
  void Symbol(TableId table, unsigned symbol) { ++counts[table][symbol]; }
  void Bits(std::uint32_t, unsigned) {}
};

void BlockEncoder::Write(std::span<const Token> tokens, bool last, BitWriter& out) {
  Tables tables;
  CountSymbols(tokens, tables);
  ++tables.counts[kMain][kEndOfBlock];
  for (int t = 0; t < kTableCount; ++t) {
    const auto id = static_cast<std::size_t>(t);
    // An unused table still gets a complete code: a reader may build every table it was sent.
    tables.lengths[id] = HuffmanLengths(tables.counts[id]);
    tables.codes[id] = CanonicalCodes(tables.lengths[id]);
  }
  WriteTables(tables, out);
  WriteSymbols(tokens, tables, out);
  out.Put(tables.codes[kMain][kEndOfBlock], tables.lengths[kMain][kEndOfBlock]);
  if (last) {
    out.Put(0, 1);  // end of file
    out.Put(1, 1);  // a following file would start with new tables
  } else {
    out.Put(1, 1);  // new tables follow
  }
}

void BlockEncoder::CountSymbols(std::span<const Token> tokens, Tables& tables) const {
  State state = state_;
  Translate(tokens, state, tables);
}

void BlockEncoder::WriteTables(const Tables& tables, BitWriter& out) {
  std::vector<std::uint8_t> all;
  all.reserve(kTablesSize);
  for (const auto& lengths : tables.lengths) all.insert(all.end(), lengths.begin(), lengths.end());
  const std::vector<LengthCode> codes = RunLengthCodes(all);

  std::vector<std::uint32_t> precodeCounts(kPrecodeSize, 0);
  for (const LengthCode& code : codes) ++precodeCounts[code.symbol];
  const std::vector<std::uint8_t> precode = HuffmanLengths(precodeCounts);
  const std::vector<std::uint16_t> precodeCodes = CanonicalCodes(precode);

  out.AlignToByte();
  out.Put(0, 1);  // LZ block, not PPMd
  out.Put(0, 1);  // lengths sent whole, not as changes to the previous tables
  // The precode's lengths as nibbles; 15 escapes both a run of zeros and a real 15.
  for (std::size_t i = 0; i < precode.size();) {
    if (precode[i] == 0) {
      std::size_t run = 1;
      while (i + run < precode.size() && run < 17 && precode[i + run] == 0) ++run;
      if (run >= 3) {
        out.Put(15, 4);
        out.Put(static_cast<std::uint32_t>(run - 2), 4);
        i += run;
        continue;
      }
    }
    out.Put(precode[i], 4);
    if (precode[i] == 15) out.Put(0, 4);
    ++i;
  }
  for (const LengthCode& code : codes) {
    out.Put(precodeCodes[code.symbol], precode[code.symbol]);
    if (code.extraBits > 0) out.Put(code.extra, code.extraBits);
  }
}

void BlockEncoder::WriteSymbols(std::span<const Token> tokens, const Tables& tables, BitWriter& out) {
  struct Emitter {
    const Tables& tables;
    BitWriter& out;
    void Symbol(TableId table, unsigned symbol) {
      if (tables.lengths[table][symbol] == 0) throw Error("symbol missing from its table");
      out.Put(tables.codes[table][symbol], tables.lengths[table][symbol]);
    }
    void Bits(std::uint32_t value, unsigned count) {
      if (count > 0) out.Put(value, count);
    }
  } emitter{tables, out};
  Translate(tokens, state_, emitter);
}

}  // namespace rar

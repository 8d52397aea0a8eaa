#include "tools/rar/LzEncoder.h"

#include <algorithm>

#include "tools/rar/Alphabet.h"
#include "tools/rar/Error.h"

namespace rar {

namespace {

constexpr std::size_t kBlockTokens = 1 << 16;
// Parsing stops this far from the end of the input seen so far, so that matches are not cut short
// only because the next piece has not arrived yet.
constexpr std::uint32_t kLookahead = 2 * alphabet::kMaxMatchLength + 2;
constexpr std::uint32_t kLazyLimit = 16;  // a match this long is taken without looking one byte further
constexpr std::size_t kDrainSize = 1 << 20;

}  // namespace

LzEncoder::LzEncoder(Sink sink) : sink_(std::move(sink)), bits_(output_) { tokens_.reserve(kBlockTokens); }

void LzEncoder::Write(std::span<const std::uint8_t> data) {
  if (finished_) throw Error("compressed stream already finished");
  while (!data.empty()) {
    const std::size_t taken = finder_.Append(data);
    data = data.subspan(taken);
    if (!data.empty()) Parse(false);
  }
}

void LzEncoder::FlushBlock() {
  Parse(false);
  if (!tokens_.empty()) WriteBlock(false);
  Drain();
}

void LzEncoder::Finish() {
  if (finished_) return;
  Parse(true);
  WriteBlock(true);
  bits_.AlignToByte();
  bits_.Put(0, 16);
  finished_ = true;
  Drain();
}

void LzEncoder::Parse(bool finishing) {
  const std::uint32_t reserve = finishing ? 0 : kLookahead;
  while (finder_.Available() > reserve) {
    Match current = finder_.Find(0, history_);
    while (current.length > 0 && current.length < kLazyLimit && finder_.Available() > current.length) {
      const Match next = finder_.Find(1, history_);
      if (next.score <= current.score) break;
      EmitLiteral();
      current = next;
    }
    if (current.length == 0)
      EmitLiteral();
    else
      EmitMatch(current);
  }
}

void LzEncoder::EmitLiteral() {
  tokens_.push_back({0, finder_.ByteAt(0)});
  finder_.Advance(1);
  if (tokens_.size() >= kBlockTokens) WriteBlock(false);
}

void LzEncoder::EmitMatch(const Match& match) {
  tokens_.push_back({match.length, match.distance});
  history_.Use(match.distance);
  largestDistance_ = std::max(largestDistance_, match.distance);
  finder_.Advance(match.length);
  if (tokens_.size() >= kBlockTokens) WriteBlock(false);
}

void LzEncoder::WriteBlock(bool last) {
  blocks_.Write(tokens_, last, bits_);
  tokens_.clear();
  if (output_.size() >= kDrainSize) Drain();
}

void LzEncoder::Drain() {
  if (output_.empty()) return;
  sink_(output_);
  packedSize_ += output_.size();
  output_.clear();
}

}  // namespace rar

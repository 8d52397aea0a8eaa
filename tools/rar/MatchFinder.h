#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "tools/rar/DistanceHistory.h"

namespace rar {

struct Match {
  std::uint32_t length = 0;  // 0: none worth sending
  std::uint32_t distance = 0;
  int score = 0;  // estimated bits saved over sending literals
};

// The input window of the encoder: 4 MiB of history plus the bytes not yet parsed, with a hash table
// of recent positions by their first 4 bytes to find earlier occurrences. Memory stays fixed whatever the
// input size.
class MatchFinder {
 public:
  MatchFinder();

  // Takes as much of `data` as fits; 0 when the window is full until more has been parsed.
  std::size_t Append(std::span<const std::uint8_t> data);
  // Bytes appended but not yet parsed.
  std::uint32_t Available() const { return end_ - position_; }
  std::uint8_t ByteAt(std::uint32_t offset) const { return window_[position_ + offset]; }

  // The best match starting `offset` bytes ahead of the parse position, given the recent distances.
  // Matches never reach past the bytes appended nor across a 4 MiB boundary of the output, which
  // some readers cannot decode.
  Match Find(std::uint32_t offset, const DistanceHistory& history);
  void Advance(std::uint32_t count);

 private:
  std::uint32_t LengthLimit(std::uint32_t at) const;
  std::uint32_t CommonLength(std::uint32_t a, std::uint32_t b, std::uint32_t limit) const;
  void InsertUpTo(std::uint32_t at);
  void Slide();

  std::unique_ptr<std::uint8_t[]> window_;  // written before read: no need to clear it
  std::vector<std::uint32_t> buckets_;      // recent positions by hash of their first bytes
  std::uint64_t base_ = 0;                  // output position of window_[0]
  std::uint32_t position_ = 0;              // parse position in window_
  std::uint32_t end_ = 0;                   // end of the appended bytes in window_
  std::uint32_t hashedUpTo_ = 0;            // positions below this are in the hash table (or skipped)
};

}  // namespace rar

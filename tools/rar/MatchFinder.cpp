#include "tools/rar/MatchFinder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "tools/rar/Alphabet.h"

namespace rar {

using namespace alphabet;

namespace {

constexpr std::uint32_t kHistory = 1u << 22;  // 4 MiB, the format's largest distance + 1
constexpr std::uint32_t kWindowSize = 2 * kHistory;
constexpr std::uint32_t kOutputBoundary = 1u << 22;
constexpr unsigned kHashBits = 16;
constexpr std::uint32_t kWays = 4;  // candidates kept per hash bucket, most recent first
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

constexpr std::uint32_t kNiceLength = 96;   // a match this long ends the search
constexpr std::uint32_t kInsertLimit = 64;  // positions inside longer matches are not hashed

constexpr std::uint32_t kHashedBytes = 4;

std::uint32_t Hash(const std::uint8_t* p) {
  std::uint32_t value = 0;
  std::memcpy(&value, p, kHashedBytes);
  return (value * 2654435761u) >> (32 - kHashBits);
}

// Estimated bits saved by a match of this length and kind over literals.
int MatchScore(std::uint32_t length, std::uint32_t distance, int repeatIndex) {
  const int cost = repeatIndex == 0 ? 6 : repeatIndex > 0 ? 8 : 10 + std::bit_width(distance);
  return 8 * static_cast<int>(length) - cost;
}

}  // namespace

MatchFinder::MatchFinder()
    : window_(std::make_unique_for_overwrite<std::uint8_t[]>(kWindowSize)),
      buckets_((std::size_t{1} << kHashBits) * kWays, kNone) {}

std::size_t MatchFinder::Append(std::span<const std::uint8_t> data) {
  if (end_ == kWindowSize && position_ >= kHistory) Slide();
  const std::size_t count = std::min<std::size_t>(data.size(), kWindowSize - end_);
  std::memcpy(&window_[end_], data.data(), count);
  end_ += static_cast<std::uint32_t>(count);
  return count;
}

// Drops the oldest half of the window; every stored position moves down by the same amount.
void MatchFinder::Slide() {
  std::memmove(&window_[0], &window_[kHistory], end_ - kHistory);
  for (std::uint32_t& at : buckets_) at = (at != kNone && at >= kHistory) ? at - kHistory : kNone;
  base_ += kHistory;
  position_ -= kHistory;
  end_ -= kHistory;
  hashedUpTo_ = std::max(hashedUpTo_, kHistory) - kHistory;
}

std::uint32_t MatchFinder::LengthLimit(std::uint32_t at) const {
  const std::uint64_t output = base_ + at;
  const std::uint64_t toBoundary = kOutputBoundary - output % kOutputBoundary;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>({kMaxMatchLength, end_ - at, toBoundary}));
}

std::uint32_t MatchFinder::CommonLength(std::uint32_t a, std::uint32_t b, std::uint32_t limit) const {
  const std::uint8_t* p = &window_[a];
  const std::uint8_t* q = &window_[b];
  std::uint32_t length = 0;
  for (; length + 8 <= limit; length += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, p + length, 8);
    std::memcpy(&y, q + length, 8);
    if (x != y) {
      const std::uint64_t diff = x ^ y;
      const int sameBits =
          std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
      return length + static_cast<std::uint32_t>(sameBits / 8);
    }
  }
  while (length < limit && p[length] == q[length]) ++length;
  return length;
}

void MatchFinder::InsertUpTo(std::uint32_t at) {
  for (; hashedUpTo_ <= at && hashedUpTo_ + kHashedBytes <= end_; ++hashedUpTo_) {
    std::uint32_t* bucket = buckets_.data() + std::size_t{Hash(&window_[0] + hashedUpTo_)} * kWays;
    for (std::uint32_t way = kWays - 1; way > 0; --way) bucket[way] = bucket[way - 1];
    bucket[0] = hashedUpTo_;
  }
}

Match MatchFinder::Find(std::uint32_t offset, const DistanceHistory& history) {
  const std::uint32_t at = position_ + offset;
  const std::uint32_t limit = LengthLimit(at);
  Match best;
  auto consider = [&](std::uint32_t length, std::uint32_t distance, int repeatIndex) {
    const int score = MatchScore(length, distance, repeatIndex);
    if (score > best.score) best = {length, distance, score};
  };

  for (int k = 0; k < 4; ++k) {
    const std::uint32_t distance = history.At(k);
    if (distance == 0 || distance > at) continue;
    const std::uint32_t length = CommonLength(at, at - distance, limit);
    if (length >= kMinRepeatLength) consider(length, distance, k);
  }
  if (best.length >= kNiceLength || at + kHashedBytes > end_) return best;

  InsertUpTo(at);
  // The bucket's first entry is `at` itself. Fetch every candidate's bytes before comparing any, so
  // that the reads from the far window overlap.
  const std::uint32_t* bucket = buckets_.data() + std::size_t{Hash(&window_[0] + at)} * kWays;
  std::array<std::uint32_t, kWays> candidates{};
  std::uint32_t count = 0;
  for (std::uint32_t way = 1; way < kWays; ++way) {
    const std::uint32_t candidate = bucket[way];
    if (candidate >= at || at - candidate > kMaxDistance) continue;
    __builtin_prefetch(&window_[0] + candidate);
    candidates[count++] = candidate;
  }
  for (std::uint32_t i = 0; i < count && best.length < limit; ++i) {
    const std::uint32_t candidate = candidates[i];
    if (window_[candidate + best.length] != window_[at + best.length]) continue;
    const std::uint32_t distance = at - candidate;
    const std::uint32_t length = CommonLength(at, candidate, limit);
    const int repeatIndex = history.Find(distance);
    const std::uint32_t minLength =
        repeatIndex == DistanceHistory::kNotFound ? MinNewMatchLength(distance) : kMinRepeatLength;
    if (length < minLength) continue;
    consider(length, distance, repeatIndex);
    if (best.length >= kNiceLength) break;
  }
  return best;
}

void MatchFinder::Advance(std::uint32_t count) {
  position_ += count;
  if (count > kInsertLimit)
    hashedUpTo_ = std::max(hashedUpTo_, position_);
  else
    InsertUpTo(position_ - 1);
}

}  // namespace rar

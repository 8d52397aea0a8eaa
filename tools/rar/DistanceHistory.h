#pragma once

#include <array>
#include <cstdint>

namespace rar {

// The four most recent match distances, most recent first, kept exactly as the decoder keeps them:
// a repeated distance moves to the front, a new one is pushed in front and the oldest drops out.
class DistanceHistory {
 public:
  static constexpr int kNotFound = -1;

  int Find(std::uint32_t distance) const {
    for (int k = 0; k < 4; ++k)
      if (recent_[static_cast<std::size_t>(k)] == distance) return k;
    return kNotFound;
  }
  std::uint32_t At(int k) const { return recent_[static_cast<std::size_t>(k)]; }

  // Records a match at `distance`; returns the index it was repeated from, or kNotFound when new.
  int Use(std::uint32_t distance) {
    int k = Find(distance);
    const int from = k;
    if (k == kNotFound) k = 3;
    for (; k > 0; --k) recent_[static_cast<std::size_t>(k)] = recent_[static_cast<std::size_t>(k - 1)];
    recent_[0] = distance;
    return from;
  }

 private:
  std::array<std::uint32_t, 4> recent_{};  // 0: none yet
};

}  // namespace rar

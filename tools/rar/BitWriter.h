#pragma once

#include <cstdint>
#include <vector>

namespace rar {

// Packs bit fields most significant bit first, the order in which the RAR 2.9 stream is read.
class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  // Appends the low `count` bits of `value` (count <= 32).
  void Put(std::uint32_t value, unsigned count) {
    pending_ = (pending_ << count) | (value & ((std::uint64_t{1} << count) - 1));
    pendingCount_ += count;
    while (pendingCount_ >= 8) {
      pendingCount_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(pending_ >> pendingCount_));
    }
  }

  // Pads with zero bits up to the next byte boundary.
  void AlignToByte() {
    if (pendingCount_ > 0) Put(0, 8 - pendingCount_);
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t pending_ = 0;
  unsigned pendingCount_ = 0;
};

}  // namespace rar

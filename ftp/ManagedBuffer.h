#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace ftp {

// Received bytes not yet consumed. Consuming advances a read offset; the unread bytes move to the front
// only once 32768 bytes have been consumed, so reading many short lines copies little.
class TIdManagedBuffer {
 public:
  // Called with the byte count of every consumption.
  std::function<void(std::size_t count)> OnConsumed;

  std::string_view View() const { return std::string_view(data_).substr(offset_); }
  std::size_t Size() const { return data_.size() - offset_; }
  bool Empty() const { return Size() == 0; }
  void Append(const char* bytes, std::size_t count) { data_.append(bytes, count); }
  // Removes and returns the first `count` bytes; more than the buffer holds raises EIdNotEnoughDataInBuffer.
  std::string Extract(std::size_t count);
  void Remove(std::size_t count);
  void Clear();

 private:
  static constexpr std::size_t kCompactionOffset = 32768;

  std::string data_;
  std::size_t offset_ = 0;
};

}  // namespace ftp

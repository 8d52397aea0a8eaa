#include "ftp/ManagedBuffer.h"

#include "ftp/Exceptions.h"

namespace ftp {

std::string TIdManagedBuffer::Extract(std::size_t count) {
  if (count > Size()) throw EIdNotEnoughDataInBuffer();
  std::string bytes = data_.substr(offset_, count);
  Remove(count);
  return bytes;
}

void TIdManagedBuffer::Remove(std::size_t count) {
  if (count > Size()) throw EIdNotEnoughDataInBuffer();
  offset_ += count;
  if (offset_ == data_.size()) {
    data_.clear();
    offset_ = 0;
  } else if (offset_ >= kCompactionOffset) {
    data_.erase(0, offset_);
    offset_ = 0;
  }
  if (OnConsumed && count > 0) OnConsumed(count);
}

void TIdManagedBuffer::Clear() {
  data_.clear();
  offset_ = 0;
}

}  // namespace ftp

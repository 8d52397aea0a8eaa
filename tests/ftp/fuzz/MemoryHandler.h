#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "ftp/IOHandler.h"

namespace fuzz {

// Serves the input in receives of a size set by the input's first byte, then an orderly close.
class MemoryHandler : public ftp::TIdIOHandler {
 public:
  MemoryHandler(std::string_view bytes, std::size_t chunk) : bytes_(bytes), chunk_(chunk) {}
  void OpenHandler() override { open_ = true; }
  bool IsOpen() const override { return open_; }
  void ConnectToServer(const std::string&, int, int, const std::string&, int, int, int) override {}
  bool WaitReadable(int) override { return true; }
  int ReceiveBytes(void* buffer, int length) override {
    const std::size_t n = std::min({bytes_.size(), chunk_, static_cast<std::size_t>(length)});
    std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return static_cast<int>(n);
  }
  int SendBytes(const void*, int length) override { return length; }
  void CloseHandler() override { open_ = false; }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
  bool open_ = false;
};

}  // namespace fuzz

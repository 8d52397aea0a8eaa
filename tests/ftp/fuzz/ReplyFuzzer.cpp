// Feeds arbitrary bytes as a server's replies through the line reader and the reply parser.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "ftp/Exceptions.h"
#include "ftp/TCPConnection.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t settings = data[0];
  MemoryHandler handler(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1),
                        1 + settings % 37);
  ftp::TIdTCPConnection connection;
  connection.MaxLineLength = settings & 0x40 ? 0 : 48;
  connection.MaxLineAction =
      settings & 0x80 ? ftp::TIdMaxLineAction::maSplit : ftp::TIdMaxLineAction::maException;
  connection.SetIOHandler(&handler);
  handler.OpenHandler();
  try {
    for (;;) {
      connection.ReadReply();
      ftp::TIdTCPConnection::CheckReplyCode(connection.LastReply, {});
      (void)connection.LastReply.FormattedText();
    }
  } catch (const ftp::EIdException&) {
  }
  connection.SetIOHandler(nullptr);
  return 0;
}

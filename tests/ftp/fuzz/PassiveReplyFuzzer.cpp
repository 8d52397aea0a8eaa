// Reads arbitrary bytes as the reply to PASV, the way the client does: through the reply reader under
// line and reply limits (scaled down, so that inputs reach them), then the address parser on the first line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ftp/Exceptions.h"
#include "ftp/PassiveReply.h"
#include "ftp/TCPConnection.h"
#include "platform/Errors.h"
#include "tests/ftp/fuzz/MemoryHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr std::size_t kReceiveSize = 4096;
  fuzz::MemoryHandler handler(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1),
                              kReceiveSize);
  ftp::TIdTCPConnection connection;
  connection.MaxLineLength = 8 + data[0] % 64;
  connection.MaxReplySize = 2 * connection.MaxLineLength;
  connection.SetIOHandler(&handler);
  handler.OpenHandler();
  try {
    connection.ReadReply();
    const std::string line =
        connection.LastReply.Text.empty() ? std::string() : connection.LastReply.Text.front();
    if (line.size() > static_cast<std::size_t>(connection.MaxLineLength)) __builtin_trap();
    const ftp::TIdPassiveTarget target = ftp::ParsePassiveReply(line);
    (void)target;
  } catch (const ftp::EIdException&) {
  } catch (const platform::EConvertError&) {
  }
  connection.SetIOHandler(nullptr);
  return 0;
}

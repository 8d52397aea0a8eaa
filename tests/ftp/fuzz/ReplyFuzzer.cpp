// Feeds arbitrary bytes as a server's replies through the line reader and the reply parser, under line
// and reply size limits: no reply may keep more than its limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "ftp/Exceptions.h"
#include "ftp/TCPConnection.h"
#include "tests/ftp/fuzz/MemoryHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t settings = data[0];
  fuzz::MemoryHandler handler(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1),
                              1 + settings % 37);
  ftp::TIdTCPConnection connection;
  connection.MaxLineLength = settings & 0x40 ? 0 : 48;
  connection.MaxLineAction =
      settings & 0x80 ? ftp::TIdMaxLineAction::maSplit : ftp::TIdMaxLineAction::maException;
  // Small reply limits too, so that the input often reaches them.
  connection.MaxReplySize = settings & 0x20 ? 0 : 16 + settings % 97;
  connection.SetIOHandler(&handler);
  handler.OpenHandler();
  try {
    for (;;) {
      connection.ReadReply();
      std::size_t kept = 0;
      for (const std::string& line : connection.LastReply.Text) kept += line.size();
      if (connection.MaxReplySize > 0 && kept > static_cast<std::size_t>(connection.MaxReplySize)) {
        __builtin_trap();
      }
      ftp::TIdTCPConnection::CheckReplyCode(connection.LastReply, {});
      (void)connection.LastReply.FormattedText();
    }
  } catch (const ftp::EIdException&) {
  }
  connection.SetIOHandler(nullptr);
  return 0;
}

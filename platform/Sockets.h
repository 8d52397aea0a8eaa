#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Exception.h"

namespace platform {

// TCP/IPv4 sockets in blocking mode, as a table of calls. Every call follows the Windows Sockets
// convention on every platform: -1 (or kNoSocket) on failure, the reason then read with lastError as a
// Windows Sockets error number (10061 for a refused connection, 11001 for an unknown host, ...), so that
// callers show the same texts everywhere.

using SocketId = std::intptr_t;
inline constexpr SocketId kNoSocket = -1;

struct SocketEndpoint {
  std::array<std::uint8_t, 4> address{};  // in network order: 127.0.0.1 is {127, 0, 0, 1}
  std::uint16_t port = 0;
};

// The Windows Sockets numbers the callers test for.
inline constexpr int kSocketInterrupted = 10004;
inline constexpr int kSocketNotASocket = 10038;
inline constexpr int kSocketWouldBlock = 10035;
inline constexpr int kSocketAddressInUse = 10048;
inline constexpr int kSocketConnectionAborted = 10053;
inline constexpr int kSocketConnectionReset = 10054;
inline constexpr int kSocketShutDown = 10058;
inline constexpr int kSocketTimedOut = 10060;
inline constexpr int kSocketNotInitialised = 10093;
inline constexpr int kSocketHostNotFound = 11001;

struct SocketCalls {
  // Starts the socket library once for the process: 0, or -1 when it refuses to start.
  int (*startup)();
  void (*cleanup)();
  SocketId (*open)();
  int (*bind)(SocketId socket, const SocketEndpoint& local);
  int (*connect)(SocketId socket, const SocketEndpoint& remote);
  int (*listen)(SocketId socket, int backlog);
  SocketId (*accept)(SocketId listening);
  int (*localEndpoint)(SocketId socket, SocketEndpoint& local);
  int (*peerEndpoint)(SocketId socket, SocketEndpoint& remote);
  int (*setNoDelay)(SocketId socket, bool noDelay);
  // Bounds each later blocking send: it then returns what it could send, or fails with 10035 (POSIX) or
  // 10060 (Windows) when it sent nothing. 0 removes the bound.
  int (*setSendTimeout)(SocketId socket, int milliseconds);
  // Waits until a socket of a set is ready; a negative timeout waits without limit. Leaves in each set
  // (any may be null) only the ready sockets and returns their count, 0 on timeout.
  int (*select)(std::vector<SocketId>* readSet, std::vector<SocketId>* writeSet,
                std::vector<SocketId>* errorSet, int timeoutMilliseconds);
  // One receive or send: the byte count, 0 for an orderly close on receive, -1 for failure.
  int (*receive)(SocketId socket, void* buffer, int length);
  int (*send)(SocketId socket, const void* buffer, int length);
  int (*shutdownSend)(SocketId socket);
  int (*close)(SocketId socket);
  // Looks a host name up; the first IPv4 address of the answer.
  int (*resolve)(const std::string& hostName, std::array<std::uint8_t, 4>& address);
  int (*lastError)();
};

// Raised where the socket library is loaded at run time and cannot be loaded, or is called while not loaded.
class SocketLibraryError : public Exception {
 public:
  enum class Kind { Load, Call };
  // `name` is the library's file name for Load, the entry point's name for Call.
  SocketLibraryError(Kind kind, std::string name, int errorCode, std::string errorText)
      : Exception(name + ": " + errorText),
        kind_(kind),
        name_(std::move(name)),
        errorCode_(errorCode),
        errorText_(std::move(errorText)) {}
  Kind GetKind() const { return kind_; }
  const std::string& Name() const { return name_; }
  int ErrorCode() const { return errorCode_; }
  const std::string& ErrorText() const { return errorText_; }

 private:
  Kind kind_;
  std::string name_;
  int errorCode_;
  std::string errorText_;
};

// The platform's table; may raise SocketLibraryError when the library cannot be loaded.
const SocketCalls& PlatformSockets();

}  // namespace platform

#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Sockets.h"

namespace ftp {

// The process's one socket stack: checks the platform's socket calls and turns their failures into
// exceptions. It exists while at least one network component exists.
class TIdStack {
 public:
  // The stack of the process; only valid while a component exists.
  static TIdStack& Instance();
  // Component constructors and destructors count themselves here; the first creates the stack.
  static void AddUser();
  static void RemoveUser();
  // Tests run the stack over another table of calls; takes effect when the stack is next created.
  static void UseSocketCalls(const platform::SocketCalls* calls);

  int LastSocketError() const { return lastSocketError_; }

  // -1 reads the platform's error: true when it is one of `ignored`, otherwise raises EIdSocketError.
  bool CheckSocketResult(int result, std::initializer_list<int> ignored);
  [[noreturn]] void ThrowSocketError(int code);
  static std::string SocketErrorText(int code);

  std::string ResolveAddress(const std::string& host);
  static bool IsIPv4Text(const std::string& text);
  static std::array<std::uint8_t, 4> DottedToAddress(const std::string& text);
  static std::string AddressToDotted(const std::array<std::uint8_t, 4>& address);

  platform::SocketId NewSocket();
  // Up to 64 sockets per set; WaitForever waits without limit. Leaves only the ready sockets.
  int WaitForSockets(std::vector<platform::SocketId>* readSet, std::vector<platform::SocketId>* writeSet,
                     std::vector<platform::SocketId>* errorSet, int timeout);

  // The table's calls, each turning a missing socket library into EIdWS2StubError.
  const platform::SocketCalls& Calls() const { return *calls_; }
  template <typename Call, typename... Args>
  auto Invoke(Call call, Args&&... args) const {
    try {
      return (calls_->*call)(std::forward<Args>(args)...);
    } catch (const platform::SocketLibraryError& error) {
      ThrowStubError(error);
    }
  }

 private:
  explicit TIdStack(const platform::SocketCalls& calls);
  ~TIdStack() = default;
  [[noreturn]] static void ThrowStubError(const platform::SocketLibraryError& error);

  const platform::SocketCalls* calls_;
  int lastSocketError_ = 0;
};

}  // namespace ftp

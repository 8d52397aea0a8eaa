#include "ftp/Stack.h"

#include <algorithm>
#include <mutex>

#include "ftp/Component.h"
#include "ftp/Exceptions.h"

namespace ftp {
namespace {

std::mutex stackLock;
int stackUsers = 0;
TIdStack* stack = nullptr;
const platform::SocketCalls* socketCallsOverride = nullptr;

// The socket library stays started from its first use until the process ends.
class StartedLibraries {
 public:
  ~StartedLibraries() {
    for (const platform::SocketCalls* calls : started_) calls->cleanup();
  }
  void Start(const platform::SocketCalls& calls) {
    if (std::find(started_.begin(), started_.end(), &calls) != started_.end()) return;
    if (calls.startup() == -1) throw EIdStackInitializationFailed();
    started_.push_back(&calls);
  }

 private:
  std::vector<const platform::SocketCalls*> started_;
};

StartedLibraries startedLibraries;

const char* ErrorDescription(int code) {
  switch (code) {
    case 10004:
      return "Interrupted system call.";
    case 10009:
      return "Bad file number.";
    case 10013:
      return "Access denied.";
    case 10014:
      return "Bad address.";
    case 10022:
      return "Invalid argument.";
    case 10024:
      return "Too many open files.";
    case 10035:
      return "Operation would block. ";
    case 10036:
      return "Operation now in progress.";
    case 10037:
      return "Operation already in progress.";
    case 10038:
      return "Socket operation on non-socket.";
    case 10039:
      return "Destination address required.";
    case 10040:
      return "Message too long.";
    case 10041:
      return "Protocol wrong type for socket.";
    case 10042:
      return "Bad protocol option.";
    case 10043:
      return "Protocol not supported.";
    case 10044:
      return "Socket type not supported.";
    case 10045:
      return "Operation not supported on socket.";
    case 10046:
      return "Protocol family not supported.";
    case 10047:
      return "Address family not supported by protocol family.";
    case 10048:
      return "Address already in use.";
    case 10049:
      return "Cannot assign requested address.";
    case 10050:
      return "Network is down.";
    case 10051:
      return "Network is unreachable.";
    case 10052:
      return "Net dropped connection or reset.";
    case 10053:
      return "Software caused connection abort.";
    case 10054:
      return "Connection reset by peer.";
    case 10055:
      return "No buffer space available.";
    case 10056:
      return "Socket is already connected.";
    case 10057:
      return "Socket is not connected.";
    case 10058:
      return "Cannot send or receive after socket is closed.";
    case 10059:
      return "Too many references, cannot splice.";
    case 10060:
      return "Connection timed out.";
    case 10061:
      return "Connection refused.";
    case 10062:
      return "Too many levels of symbolic links.";
    case 10063:
      return "File name too long.";
    case 10064:
      return "Host is down.";
    case 10065:
      return "No route to host.";
    case 10066:
      return "Directory not empty";
    case 11001:
      return "Host not found.";
    default:
      return "";
  }
}

// A decimal number of at most three digits no greater than 255.
bool IsAddressByte(const std::string& part) {
  if (part.empty() || part.size() > 3) return false;
  for (char c : part) {
    if (c < '0' || c > '9') return false;
  }
  return std::stoi(part) <= 255;
}

std::vector<std::string> SplitDotted(const std::string& text) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  for (int i = 0; i < 3; ++i) {
    const auto dot = text.find('.', start);
    if (dot == std::string::npos) {
      parts.push_back(text.substr(std::min(start, text.size())));
      start = text.size() + 1;
      continue;
    }
    parts.push_back(text.substr(start, dot - start));
    start = dot + 1;
  }
  parts.push_back(start <= text.size() ? text.substr(start) : std::string());
  return parts;
}

}  // namespace

TIdStack& TIdStack::Instance() { return *stack; }

void TIdStack::AddUser() {
  std::lock_guard lock(stackLock);
  if (stackUsers == 0) {
    const platform::SocketCalls* calls = socketCallsOverride;
    if (calls == nullptr) {
      try {
        calls = &platform::PlatformSockets();
      } catch (const platform::SocketLibraryError& error) {
        ThrowStubError(error);
      }
    }
    startedLibraries.Start(*calls);
    stack = new TIdStack(*calls);
  }
  ++stackUsers;
}

void TIdStack::RemoveUser() {
  std::lock_guard lock(stackLock);
  if (--stackUsers == 0) {
    delete stack;
    stack = nullptr;
  }
}

void TIdStack::UseSocketCalls(const platform::SocketCalls* calls) {
  std::lock_guard lock(stackLock);
  socketCallsOverride = calls;
}

TIdStack::TIdStack(const platform::SocketCalls& calls) : calls_(&calls) {}

void TIdStack::ThrowStubError(const platform::SocketLibraryError& error) {
  const std::string title = error.GetKind() == platform::SocketLibraryError::Kind::Load
                                ? "Error on loading Winsock2 library (" + error.Name() + ")"
                                : "Error on call Winsock2 library function " + error.Name();
  throw EIdWS2StubError(title, error.ErrorCode(), error.ErrorText());
}

bool TIdStack::CheckSocketResult(int result, std::initializer_list<int> ignored) {
  if (result != -1) return false;
  lastSocketError_ = Invoke(&platform::SocketCalls::lastError);
  if (std::find(ignored.begin(), ignored.end(), lastSocketError_) != ignored.end()) return true;
  ThrowSocketError(lastSocketError_);
}

void TIdStack::ThrowSocketError(int code) { throw EIdSocketError(code, SocketErrorText(code)); }

std::string TIdStack::SocketErrorText(int code) {
  return "Socket Error # " + std::to_string(code) + "\r\n" + ErrorDescription(code);
}

std::string TIdStack::ResolveAddress(const std::string& host) {
  std::string upper = host;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
  if (upper == "LOCALHOST") return "127.0.0.1";
  if (IsIPv4Text(host)) return host;
  std::array<std::uint8_t, 4> address{};
  CheckSocketResult(Invoke(&platform::SocketCalls::resolve, host, address), {});
  return AddressToDotted(address);
}

bool TIdStack::IsIPv4Text(const std::string& text) {
  const std::vector<std::string> parts = SplitDotted(text);
  return std::all_of(parts.begin(), parts.end(), IsAddressByte);
}

std::array<std::uint8_t, 4> TIdStack::DottedToAddress(const std::string& text) {
  std::array<std::uint8_t, 4> address{};
  const std::vector<std::string> parts = SplitDotted(text);
  for (std::size_t i = 0; i < 4; ++i) address[i] = static_cast<std::uint8_t>(std::stoi(parts[i]));
  return address;
}

std::string TIdStack::AddressToDotted(const std::array<std::uint8_t, 4>& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) +
         "." + std::to_string(address[3]);
}

platform::SocketId TIdStack::NewSocket() {
  const platform::SocketId socket = Invoke(&platform::SocketCalls::open);
  if (socket == platform::kNoSocket) throw EIdInvalidSocket();
  return socket;
}

int TIdStack::WaitForSockets(std::vector<platform::SocketId>* readSet,
                             std::vector<platform::SocketId>* writeSet,
                             std::vector<platform::SocketId>* errorSet, int timeout) {
  constexpr std::size_t kMaximumSetSize = 64;
  for (const auto* set : {readSet, writeSet, errorSet}) {
    if (set != nullptr && set->size() > kMaximumSetSize) throw EIdStackSetSizeExceeded();
  }
  return Invoke(&platform::SocketCalls::select, readSet, writeSet, errorSet,
                timeout == WaitForever ? -1 : timeout);
}

}  // namespace ftp

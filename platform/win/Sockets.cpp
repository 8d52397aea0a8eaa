#include "platform/Sockets.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/win/SystemErrorText.h"
#include "platform/win/SystemHeaders.h"

namespace platform {
namespace {

// Windows Sockets 2 is loaded when first needed, never linked, and each entry point is looked up by
// name on its first call and kept.
constexpr char kLibraryName[] = "WS2_32.DLL";

enum class Entry {
  WSAStartup,
  WSACleanup,
  WSAGetLastError,
  socket,
  bind,
  connect,
  listen,
  accept,
  getsockname,
  getpeername,
  setsockopt,
  select,
  recv,
  send,
  shutdown,
  closesocket,
  gethostbyname,
  Count
};

constexpr const char* kEntryNames[] = {
    "WSAStartup", "WSACleanup", "WSAGetLastError", "socket",      "bind",         "connect",
    "listen",     "accept",     "getsockname",     "getpeername", "setsockopt",   "select",
    "recv",       "send",       "shutdown",        "closesocket", "gethostbyname"};
static_assert(std::size(kEntryNames) == static_cast<std::size_t>(Entry::Count));

std::atomic<HMODULE> library{nullptr};
std::atomic<FARPROC> entries[static_cast<std::size_t>(Entry::Count)];
thread_local int lastError = 0;

void LoadLibraryOnce() {
  static std::mutex loading;
  std::lock_guard lock(loading);
  if (library.load() != nullptr) return;
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE loaded = LoadLibraryA(kLibraryName);
  const DWORD error = GetLastError();
  SetThreadErrorMode(previousMode, nullptr);
  if (loaded == nullptr) {
    throw SocketLibraryError(SocketLibraryError::Kind::Load, kLibraryName, static_cast<int>(error),
                             win::SystemErrorText(error));
  }
  library.store(loaded);
}

// The entry point as a function of the declared type F.
template <typename F>
F Bound(Entry entry) {
  std::atomic<FARPROC>& slot = entries[static_cast<std::size_t>(entry)];
  FARPROC address = slot.load();
  if (address == nullptr) {
    const char* name = kEntryNames[static_cast<std::size_t>(entry)];
    HMODULE module = library.load();
    if (module == nullptr) {
      throw SocketLibraryError(SocketLibraryError::Kind::Call, name, kSocketNotInitialised,
                               win::SystemErrorText(kSocketNotInitialised));
    }
    address = GetProcAddress(module, name);
    if (address == nullptr) {
      const DWORD error = GetLastError();
      throw SocketLibraryError(SocketLibraryError::Kind::Call, name, static_cast<int>(error),
                               win::SystemErrorText(error));
    }
    slot.store(address);
  }
  // Through void(*)(), the one function type that converts to any other without a warning.
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(address));
}

int Fail() {
  lastError = Bound<decltype(&::WSAGetLastError)>(Entry::WSAGetLastError)();
  return -1;
}

SOCKET Native(SocketId socket) { return static_cast<SOCKET>(socket); }

// Ports are kept in network order by hand: htons and ntohs are entry points of the library too.
sockaddr_in ToSockaddr(const SocketEndpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  const unsigned char port[2] = {static_cast<unsigned char>(endpoint.port >> 8),
                                 static_cast<unsigned char>(endpoint.port & 0xFF)};
  std::memcpy(&address.sin_port, port, 2);
  std::memcpy(&address.sin_addr, endpoint.address.data(), 4);
  return address;
}

SocketEndpoint FromSockaddr(const sockaddr_in& address) {
  SocketEndpoint endpoint;
  std::memcpy(endpoint.address.data(), &address.sin_addr, 4);
  unsigned char port[2];
  std::memcpy(port, &address.sin_port, 2);
  endpoint.port = static_cast<std::uint16_t>(port[0] << 8 | port[1]);
  return endpoint;
}

int Startup() {
  WSADATA data;
  return Bound<decltype(&::WSAStartup)>(Entry::WSAStartup)(MAKEWORD(2, 2), &data) == 0 ? 0 : -1;
}

void Cleanup() { Bound<decltype(&::WSACleanup)>(Entry::WSACleanup)(); }

SocketId Open() {
  const SOCKET opened = Bound<decltype(&::socket)>(Entry::socket)(AF_INET, SOCK_STREAM, 0);
  if (opened == INVALID_SOCKET) {
    Fail();
    return kNoSocket;
  }
  return static_cast<SocketId>(opened);
}

int Bind(SocketId socket, const SocketEndpoint& local) {
  const sockaddr_in address = ToSockaddr(local);
  return Bound<decltype(&::bind)>(Entry::bind)(Native(socket), reinterpret_cast<const sockaddr*>(&address),
                                               sizeof address) == 0
             ? 0
             : Fail();
}

int Connect(SocketId socket, const SocketEndpoint& remote) {
  const sockaddr_in address = ToSockaddr(remote);
  return Bound<decltype(&::connect)>(Entry::connect)(
             Native(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
             ? 0
             : Fail();
}

int Listen(SocketId socket, int backlog) {
  return Bound<decltype(&::listen)>(Entry::listen)(Native(socket), backlog) == 0 ? 0 : Fail();
}

SocketId Accept(SocketId listening) {
  const SOCKET accepted = Bound<decltype(&::accept)>(Entry::accept)(Native(listening), nullptr, nullptr);
  if (accepted == INVALID_SOCKET) {
    Fail();
    return kNoSocket;
  }
  return static_cast<SocketId>(accepted);
}

int Endpoint(Entry entry, SocketId socket, SocketEndpoint& endpoint) {
  sockaddr_in address{};
  int length = sizeof address;
  if (Bound<decltype(&::getsockname)>(entry)(Native(socket), reinterpret_cast<sockaddr*>(&address),
                                             &length) != 0) {
    return Fail();
  }
  endpoint = FromSockaddr(address);
  return 0;
}

int LocalEndpoint(SocketId socket, SocketEndpoint& local) {
  return Endpoint(Entry::getsockname, socket, local);
}

int PeerEndpoint(SocketId socket, SocketEndpoint& remote) {
  return Endpoint(Entry::getpeername, socket, remote);
}

int SetNoDelay(SocketId socket, bool noDelay) {
  const DWORD value = noDelay ? 1 : 0;
  return Bound<decltype(&::setsockopt)>(Entry::setsockopt)(Native(socket), IPPROTO_TCP, TCP_NODELAY,
                                                           reinterpret_cast<const char*>(&value),
                                                           sizeof value) == 0
             ? 0
             : Fail();
}

int SetSendTimeout(SocketId socket, int milliseconds) {
  const DWORD value = static_cast<DWORD>(milliseconds);
  return Bound<decltype(&::setsockopt)>(Entry::setsockopt)(Native(socket), SOL_SOCKET, SO_SNDTIMEO,
                                                           reinterpret_cast<const char*>(&value),
                                                           sizeof value) == 0
             ? 0
             : Fail();
}

int Select(std::vector<SocketId>* readSet, std::vector<SocketId>* writeSet, std::vector<SocketId>* errorSet,
           int timeoutMilliseconds) {
  std::vector<SocketId>* sets[] = {readSet, writeSet, errorSet};
  fd_set native[3];
  fd_set* passed[3] = {};
  for (int i = 0; i < 3; ++i) {
    if (sets[i] == nullptr) continue;
    if (sets[i]->size() > FD_SETSIZE) {
      lastError = WSAEINVAL;
      return -1;
    }
    native[i].fd_count = 0;
    for (SocketId socket : *sets[i]) native[i].fd_array[native[i].fd_count++] = Native(socket);
    passed[i] = &native[i];
  }
  timeval timeout{timeoutMilliseconds / 1000, (timeoutMilliseconds % 1000) * 1000};
  const int ready = Bound<decltype(&::select)>(Entry::select)(0, passed[0], passed[1], passed[2],
                                                              timeoutMilliseconds < 0 ? nullptr : &timeout);
  if (ready == SOCKET_ERROR) return Fail();
  // The system leaves in each set only the ready sockets; keep them in the caller's order.
  for (int i = 0; i < 3; ++i) {
    if (sets[i] == nullptr) continue;
    const SOCKET* readyBegin = native[i].fd_array;
    const SOCKET* readyEnd = native[i].fd_array + native[i].fd_count;
    std::erase_if(*sets[i], [&](SocketId socket) {
      return std::find(readyBegin, readyEnd, Native(socket)) == readyEnd;
    });
  }
  return ready;
}

int Receive(SocketId socket, void* buffer, int length) {
  const int received =
      Bound<decltype(&::recv)>(Entry::recv)(Native(socket), static_cast<char*>(buffer), length, 0);
  return received == SOCKET_ERROR ? Fail() : received;
}

int Send(SocketId socket, const void* buffer, int length) {
  const int sent =
      Bound<decltype(&::send)>(Entry::send)(Native(socket), static_cast<const char*>(buffer), length, 0);
  return sent == SOCKET_ERROR ? Fail() : sent;
}

int ShutdownSend(SocketId socket) {
  return Bound<decltype(&::shutdown)>(Entry::shutdown)(Native(socket), SD_SEND) == 0 ? 0 : Fail();
}

int Close(SocketId socket) {
  return Bound<decltype(&::closesocket)>(Entry::closesocket)(Native(socket)) == 0 ? 0 : Fail();
}

int Resolve(const std::string& hostName, std::array<std::uint8_t, 4>& address) {
  const hostent* host = Bound<decltype(&::gethostbyname)>(Entry::gethostbyname)(hostName.c_str());
  if (host == nullptr) return Fail();
  if (host->h_addrtype != AF_INET || host->h_addr_list[0] == nullptr) {
    lastError = kSocketHostNotFound;
    return -1;
  }
  std::memcpy(address.data(), host->h_addr_list[0], 4);
  return 0;
}

int LastError() { return lastError; }

constexpr SocketCalls kWindowsSockets{
    Startup,    Cleanup,        Open,   Bind,    Connect, Listen,       Accept, LocalEndpoint, PeerEndpoint,
    SetNoDelay, SetSendTimeout, Select, Receive, Send,    ShutdownSend, Close,  Resolve,       LastError,
};

}  // namespace

const SocketCalls& PlatformSockets() {
  LoadLibraryOnce();
  return kWindowsSockets;
}

}  // namespace platform

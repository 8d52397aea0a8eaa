#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {
namespace {

thread_local int lastError = 0;

int WindowsSocketsNumber(int posixError) {
  switch (posixError) {
    case EINTR:
      return 10004;
    case EBADF:
      return 10009;
    case EACCES:
      return 10013;
    case EFAULT:
      return 10014;
    case EINVAL:
      return 10022;
    case EMFILE:
      return 10024;
    case EWOULDBLOCK:
      return 10035;
    case EINPROGRESS:
      return 10036;
    case EALREADY:
      return 10037;
    case ENOTSOCK:
      return 10038;
    case EDESTADDRREQ:
      return 10039;
    case EMSGSIZE:
      return 10040;
    case EPROTOTYPE:
      return 10041;
    case ENOPROTOOPT:
      return 10042;
    case EPROTONOSUPPORT:
      return 10043;
    case ESOCKTNOSUPPORT:
      return 10044;
    case EOPNOTSUPP:
      return 10045;
    case EPFNOSUPPORT:
      return 10046;
    case EAFNOSUPPORT:
      return 10047;
    case EADDRINUSE:
      return 10048;
    case EADDRNOTAVAIL:
      return 10049;
    case ENETDOWN:
      return 10050;
    case ENETUNREACH:
      return 10051;
    case ENETRESET:
      return 10052;
    case ECONNABORTED:
      return 10053;
    case ECONNRESET:
      return 10054;
    case ENOBUFS:
      return 10055;
    case EISCONN:
      return 10056;
    case ENOTCONN:
      return 10057;
    case ESHUTDOWN:
    case EPIPE:
      return 10058;
    case ETOOMANYREFS:
      return 10059;
    case ETIMEDOUT:
      return 10060;
    case ECONNREFUSED:
      return 10061;
    case ELOOP:
      return 10062;
    case ENAMETOOLONG:
      return 10063;
    case EHOSTDOWN:
      return 10064;
    case EHOSTUNREACH:
      return 10065;
    case ENOTEMPTY:
      return 10066;
    default:
      return posixError;
  }
}

int Fail() {
  lastError = WindowsSocketsNumber(errno);
  return -1;
}

int Descriptor(SocketId socket) { return static_cast<int>(socket); }

sockaddr_in ToSockaddr(const SocketEndpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(endpoint.port);
  std::memcpy(&address.sin_addr.s_addr, endpoint.address.data(), 4);
  return address;
}

SocketEndpoint FromSockaddr(const sockaddr_in& address) {
  SocketEndpoint endpoint;
  std::memcpy(endpoint.address.data(), &address.sin_addr.s_addr, 4);
  endpoint.port = ntohs(address.sin_port);
  return endpoint;
}

int Startup() { return 0; }

void Cleanup() {}

SocketId Open() {
  const int socketFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socketFd < 0) {
    Fail();
    return kNoSocket;
  }
  return socketFd;
}

int Bind(SocketId socket, const SocketEndpoint& local) {
  const sockaddr_in address = ToSockaddr(local);
  return ::bind(Descriptor(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
             ? 0
             : Fail();
}

int Connect(SocketId socket, const SocketEndpoint& remote) {
  const sockaddr_in address = ToSockaddr(remote);
  return ::connect(Descriptor(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
             ? 0
             : Fail();
}

int Listen(SocketId socket, int backlog) { return ::listen(Descriptor(socket), backlog) == 0 ? 0 : Fail(); }

SocketId Accept(SocketId listening) {
  int accepted;
  do {
    accepted = ::accept4(Descriptor(listening), nullptr, nullptr, SOCK_CLOEXEC);
  } while (accepted < 0 && errno == EINTR);
  if (accepted < 0) {
    Fail();
    return kNoSocket;
  }
  return accepted;
}

int LocalEndpoint(SocketId socket, SocketEndpoint& local) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(Descriptor(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) return Fail();
  local = FromSockaddr(address);
  return 0;
}

int PeerEndpoint(SocketId socket, SocketEndpoint& remote) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getpeername(Descriptor(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) return Fail();
  remote = FromSockaddr(address);
  return 0;
}

int SetNoDelay(SocketId socket, bool noDelay) {
  const int value = noDelay ? 1 : 0;
  return ::setsockopt(Descriptor(socket), IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) == 0 ? 0 : Fail();
}

int SetSendTimeout(SocketId socket, int milliseconds) {
  const timeval value{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return ::setsockopt(Descriptor(socket), SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value) == 0 ? 0 : Fail();
}

// poll() has no limit on descriptor numbers, unlike select() with its fixed-size sets.
int Select(std::vector<SocketId>* readSet, std::vector<SocketId>* writeSet, std::vector<SocketId>* errorSet,
           int timeoutMilliseconds) {
  struct Entry {
    std::vector<SocketId>* set;
    short events;
  };
  const Entry entries[] = {{readSet, POLLIN}, {writeSet, POLLOUT}, {errorSet, POLLPRI}};
  std::vector<pollfd> polled;
  for (const Entry& entry : entries) {
    if (entry.set == nullptr) continue;
    for (SocketId socket : *entry.set) polled.push_back({Descriptor(socket), entry.events, 0});
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  int ready;
  for (;;) {
    int remaining = -1;
    if (timeoutMilliseconds >= 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      remaining = left > 0 ? static_cast<int>(left) : 0;
    }
    ready = ::poll(polled.data(), polled.size(), remaining);
    if (ready >= 0 || errno != EINTR) break;
  }
  if (ready < 0) return Fail();
  // A closed or failed socket counts as readable, as select() reports it: the next receive tells why.
  const short readableEvents = POLLIN | POLLHUP | POLLERR | POLLNVAL;
  std::size_t index = 0;
  int count = 0;
  for (const Entry& entry : entries) {
    if (entry.set == nullptr) continue;
    std::vector<SocketId> stillReady;
    for (SocketId socket : *entry.set) {
      const short revents = polled[index++].revents;
      const short wanted = entry.events == POLLIN ? readableEvents : entry.events;
      if ((revents & wanted) != 0) stillReady.push_back(socket);
    }
    count += static_cast<int>(stillReady.size());
    *entry.set = std::move(stillReady);
  }
  return count;
}

int Receive(SocketId socket, void* buffer, int length) {
  ssize_t received;
  do {
    received = ::recv(Descriptor(socket), buffer, static_cast<std::size_t>(length), 0);
  } while (received < 0 && errno == EINTR);
  return received < 0 ? Fail() : static_cast<int>(received);
}

int Send(SocketId socket, const void* buffer, int length) {
  ssize_t sent;
  do {
    // No SIGPIPE: a peer that went away is an error code like any other.
    sent = ::send(Descriptor(socket), buffer, static_cast<std::size_t>(length), MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? Fail() : static_cast<int>(sent);
}

int ShutdownSend(SocketId socket) { return ::shutdown(Descriptor(socket), SHUT_WR) == 0 ? 0 : Fail(); }

int Close(SocketId socket) { return ::close(Descriptor(socket)) == 0 ? 0 : Fail(); }

int Resolve(const std::string& hostName, std::array<std::uint8_t, 4>& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = ::getaddrinfo(hostName.c_str(), nullptr, &hints, &found);
  if (result != 0 || found == nullptr) {
    if (result == EAI_SYSTEM) return Fail();
    lastError = result == EAI_AGAIN ? 11002 : kSocketHostNotFound;
    return -1;
  }
  const auto* first = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  std::memcpy(address.data(), &first->sin_addr.s_addr, 4);
  ::freeaddrinfo(found);
  return 0;
}

int LastError() { return lastError; }

constexpr SocketCalls kPosixSockets{
    Startup,    Cleanup,        Open,   Bind,    Connect, Listen,       Accept, LocalEndpoint, PeerEndpoint,
    SetNoDelay, SetSendTimeout, Select, Receive, Send,    ShutdownSend, Close,  Resolve,       LastError,
};

}  // namespace

const SocketCalls& PlatformSockets() { return kPosixSockets; }

}  // namespace platform

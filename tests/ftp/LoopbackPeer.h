#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <thread>

namespace ftptests {

// A peer on 127.0.0.1 for one connection: sends `bytes`, then closes at once or, with holdOpen, keeps the
// connection until the client closes it. Whatever the client sends is kept in Received().
class LoopbackPeer {
 public:
  explicit LoopbackPeer(std::string bytes, bool holdOpen = false)
      : bytes_(std::move(bytes)), holdOpen_(holdOpen) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  // Ends a connection still held open, so that destruction never waits for the client.
  ~LoopbackPeer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      if (connection_ >= 0) ::shutdown(connection_, SHUT_RDWR);
    }
    ::shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
  }
  int Port() const { return port_; }
  // Only once the client has closed.
  const std::string& Received() {
    if (thread_.joinable()) thread_.join();
    return received_;
  }

 private:
  void Serve() {
    const int connection = ::accept(listener_, nullptr, nullptr);
    if (connection < 0) return;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) ::shutdown(connection, SHUT_RDWR);
      connection_ = connection;
    }
    ::send(connection, bytes_.data(), bytes_.size(), MSG_NOSIGNAL);
    if (holdOpen_) {
      char buffer[4096];
      for (ssize_t n; (n = ::recv(connection, buffer, sizeof buffer, 0)) > 0;) received_.append(buffer, n);
    }
    std::lock_guard lock(mutex_);
    connection_ = -1;
    ::close(connection);
  }

  std::string bytes_;
  bool holdOpen_;
  int listener_ = -1;
  int port_ = 0;
  std::string received_;
  std::mutex mutex_;
  bool stopping_ = false;
  int connection_ = -1;
  std::thread thread_;
};

}  // namespace ftptests

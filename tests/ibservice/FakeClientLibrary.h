#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ibservice/ClientLibrary.h"

namespace ibservice::testing {

// Points the client binding at one of the fake client libraries and scripts it through its control
// entries; the real binding is restored afterwards.
class FakeClientLibrary {
 public:
  explicit FakeClientLibrary(const std::string& path = TORVI_FAKE_CLIENT) {
    SetClientLibraryNames({path});
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error(dlerror());
    Bind(reset_, "FakeClientReset");
    Bind(failNext_, "FakeClientFailNext");
    Bind(queueReply_, "FakeClientQueueReply");
    Bind(lastBytes_, "FakeClientLastBytes");
    Bind(callCount_, "FakeClientCallCount");
    Bind(lastReplyBufferSize_, "FakeClientLastReplyBufferSize");
    reset_();
  }
  FakeClientLibrary(const FakeClientLibrary&) = delete;
  FakeClientLibrary& operator=(const FakeClientLibrary&) = delete;
  ~FakeClientLibrary() {
    SetClientLibraryNames(DefaultClientLibraryNames());
    dlclose(handle_);
  }

  void FailNext(const std::string& entry, long primaryCode, int sqlCode,
                const std::vector<std::string>& texts) {
    std::vector<const char*> pointers;
    for (const std::string& text : texts) pointers.push_back(text.c_str());
    failNext_(entry.c_str(), primaryCode, sqlCode, pointers.data(), static_cast<int>(pointers.size()));
  }
  void QueueReply(const std::string& bytes) {
    queueReply_(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  }
  // A well-formed line reply: 62, length, text, 1.
  void QueueLine(const std::string& text) {
    QueueReply(std::string{62, static_cast<char>(text.size() & 0xFF), static_cast<char>(text.size() >> 8)} +
               text + '\x01');
  }
  // The service name ("isc_service_attach"), parameter buffer ("spb"), start request ("isc_service_start")
  // or query items ("isc_service_query") last sent; empty when never sent.
  std::string LastBytes(const std::string& entry) const {
    std::string bytes(70000, '\0');
    const int count = lastBytes_(entry.c_str(), reinterpret_cast<unsigned char*>(bytes.data()),
                                 static_cast<int>(bytes.size()));
    bytes.resize(count < 0 ? 0 : static_cast<std::size_t>(count));
    return bytes;
  }
  int Calls(const std::string& entry) const { return callCount_(entry.c_str()); }
  int LastReplyBufferSize() const { return lastReplyBufferSize_(); }

 private:
  template <typename Fn>
  void Bind(Fn& slot, const char* name) {
    slot = reinterpret_cast<Fn>(dlsym(handle_, name));
    if (slot == nullptr) throw std::runtime_error(std::string("fake client lacks ") + name);
  }

  void* handle_ = nullptr;
  void (*reset_)() = nullptr;
  void (*failNext_)(const char*, long, int, const char* const*, int) = nullptr;
  void (*queueReply_)(const unsigned char*, int) = nullptr;
  int (*lastBytes_)(const char*, unsigned char*, int) = nullptr;
  int (*callCount_)(const char*) = nullptr;
  int (*lastReplyBufferSize_)() = nullptr;
};

}  // namespace ibservice::testing

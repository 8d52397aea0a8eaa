// Feeds arbitrary line-query replies (and reply buffer sizes) to ReadOutputLine through the fake client
// library: every reply must give a line, the end, or "Unexpected Output buffer value", never a read
// outside the reply buffer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ibservice/Errors.h"
#include "ibservice/TIBBackupService.h"
#include "tests/ibservice/FakeClientLibrary.h"

namespace {

struct Harness {
  ibservice::testing::FakeClientLibrary fake;
  ibservice::TIBBackupService service;

  Harness() {
    service.SetProtocol(ibservice::TProtocol::TCP);
    service.SetServerName("localhost");
    service.SetLoginPrompt(false);
    service.SetDatabaseName("/db/x.fdb");
    service.BackupFile().Add("/db/x.fbk");
    service.Attach();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Harness* harness = new Harness();
  if (size < 2) return 0;
  const int bufferSize = 4 + ((data[0] | (data[1] << 8)) % 4096);
  harness->service.SetBufferSize(bufferSize);
  harness->service.Start();
  harness->fake.QueueReply(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
  try {
    const std::string line = harness->service.ReadOutputLine();
    if (line.size() + 4 > static_cast<std::size_t>(bufferSize)) __builtin_trap();
  } catch (const ibservice::EIBClientError&) {
  }
  return 0;
}

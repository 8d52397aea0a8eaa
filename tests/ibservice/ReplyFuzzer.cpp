// Feeds arbitrary line-query replies (and reply buffer sizes and output limits) to ReadOutputLine through
// the fake client library: every reply must give a line, the end, "Unexpected Output buffer value" or the
// refusal of output past the limit, never a read outside the reply buffer nor more output than the limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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
  // A small output limit, so that the input's replies often reach it.
  harness->service.SetMaxOutputSize(data[1] % 64);
  harness->service.Start();
  // The rest of the input, cut into replies at 0xFF bytes and queued one at a time: each reply gives a
  // line, the end, a refusal of a malformed reply, or the refusal of output past the limit.
  std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);
  std::int64_t total = 0;
  try {
    for (bool more = true; more && !harness->service.EndOfOutput();) {
      const std::size_t end = std::min(input.find('\xFF'), input.size());
      harness->fake.QueueReply(std::string(input.substr(0, end)));
      more = end < input.size();
      input.remove_prefix(more ? end + 1 : end);
      const std::string line = harness->service.ReadOutputLine();
      if (line.size() + 4 > static_cast<std::size_t>(bufferSize)) __builtin_trap();
      total += static_cast<std::int64_t>(line.size());
      if (harness->service.MaxOutputSize() > 0 && total > harness->service.MaxOutputSize()) __builtin_trap();
    }
  } catch (const ibservice::EIBError&) {
  }
  return 0;
}

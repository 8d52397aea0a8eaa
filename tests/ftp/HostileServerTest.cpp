// Servers that never end a reply, a listing or a transfer, or trickle: every exchange ends at its bound,
// with the bound's own error, and the client's memory stays small.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/support/PeakMemory.h"

namespace ftp {
namespace {

enum class Exchange { Login, List, Upload };

struct HostileCase {
  const char* scenario;
  Exchange exchange;
  const char* error;  // the message the exchange ends with
};

// Short bounds, set through the client's own properties: a reply within 1 s, at least 1 KiB/s per second.
constexpr int kReadTimeout = 1000;
constexpr int kLowSpeedLimit = 1024;
constexpr int kLowSpeedTime = 1;
constexpr std::int64_t kUploadSize = 16 * testsupport::kMiB;  // more than the socket buffers hold
constexpr std::int64_t kMemoryCeiling = 64 * testsupport::kMiB;

const HostileCase kCases[] = {
    {"endless_multi_line_reply", Exchange::Login, "Resposta do servidor excede o limite de 1048576 bytes."},
    {"endless_blank_lines", Exchange::Login, "Resposta do servidor excede o limite de 1048576 bytes."},
    {"endless_listing", Exchange::List, "Listagem do servidor excede o limite de 8388608 bytes."},
    {"listing_of_short_lines", Exchange::List, "Listagem do servidor excede o limite de 100000 linhas."},
    {"trickling_reply", Exchange::Login, "Resposta do servidor não se completou no tempo limite de 1000 ms."},
    {"trickling_listing", Exchange::List, "Transferência abaixo do mínimo de 1024 bytes/s durante 1 s."},
    {"trickling_upload", Exchange::Upload, "Transferência abaixo do mínimo de 1024 bytes/s durante 1 s."},
    {"pasv_reply_of_100_kb", Exchange::List, "Max line length exceeded."},
    {"reply_line_of_10_mb", Exchange::Login, "Max line length exceeded."},
    {"greeting_never_comes", Exchange::Login, "Read Timeout"},
    {"closed_after_every_byte", Exchange::Login, "Connection Closed Gracefully."},
};

void PrintTo(const HostileCase& hostile, std::ostream* out) { *out << hostile.scenario; }

class HostileServer : public ::testing::TestWithParam<HostileCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, HostileServer, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.scenario); });

void Perform(TIdFTP& client, Exchange exchange, const std::string& uploadPath) {
  client.ConnectAndLogin();
  if (exchange == Exchange::List) client.ListFolder(nullptr, "bkp*.rar", true);
  if (exchange == Exchange::Upload) client.UploadFile(uploadPath, "bkp.rar", false);
}

TEST_P(HostileServer, EndsAtItsBoundWithItsOwnErrorAndLittleMemory) {
  const HostileCase& hostile = GetParam();
  ftpfixtures::ScratchFolder folder;
  const std::string upload = folder / "upload.bin";
  if (hostile.exchange == Exchange::Upload) ftpfixtures::WritePseudoRandomFile(upload, kUploadSize);
  ftpfixtures::FakeFtpServer server(hostile.scenario);
  TIdFTP client;
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  client.Username = "tester";
  client.Password = "s3cret";
  client.Passive = true;
  client.ReadTimeout = kReadTimeout;
  client.LowSpeedLimit = kLowSpeedLimit;
  client.LowSpeedTime = kLowSpeedTime;

  testsupport::ResetPeakMemory();
  try {
    Perform(client, hostile.exchange, upload);
    ADD_FAILURE() << "the exchange ended without an error";
  } catch (const EIdException& error) {
    EXPECT_EQ(std::string(error.what()), hostile.error);
  }
  const std::int64_t peak = testsupport::PeakMemoryBytes();
  RecordProperty("peak_memory_kib", std::to_string(peak / 1024));
  if (testsupport::kPeakMemoryIsOurs) {
    EXPECT_LT(peak, kMemoryCeiling);
  }
}

}  // namespace
}  // namespace ftp

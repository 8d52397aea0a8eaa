#include <gtest/gtest.h>

#include "ibservice/Errors.h"
#include "ibservice/TIBBackupService.h"
#include "platform/Errors.h"
#include "tests/ibservice/FakeServiceTest.h"

namespace ibservice {
namespace {

using testing::Bytes;

class BackupActionTest : public testing::FakeServiceTest {
 protected:
  BackupActionTest() { service_.SetDatabaseName("/db/x.fdb"); }

  // Attaches, starts with the given backup files and returns the request the library received.
  std::string StartWith(const std::vector<std::string>& files) {
    service_.BackupFile().Assign(files);
    if (!service_.Active()) service_.Attach();
    service_.Start();
    return fake_.LastBytes("isc_service_start");
  }
};

TEST_F(BackupActionTest, RequestOfTheRunIsExact) {
  service_.SetVerbose(true);
  service_.SetOptions({TBackupOption::NoGarbageCollection});
  EXPECT_EQ(StartWith({"/var/tmp/torvi/Backup/bkp08122026210728.bk"}),
            Bytes({1, 106, 9, 0}) + "/db/x.fdb" + Bytes({108, 8, 0, 0, 0, 107, 5, 42, 0}) +
                "/var/tmp/torvi/Backup/bkp08122026210728.bk");
}

TEST_F(BackupActionTest, RequestVariants) {
  const std::string head = Bytes({1, 106, 9, 0}) + "/db/x.fdb";
  EXPECT_EQ(StartWith({"a"}), head + Bytes({108, 0, 0, 0, 0, 5, 1, 0, 'a'})) << "empty options still sent";

  service_.SetBlockingFactor(-3);
  EXPECT_EQ(StartWith({"a"}), head + Bytes({108, 0, 0, 0, 0, 5, 1, 0, 'a'})) << "no factor when not positive";

  service_.SetBlockingFactor(0x01020304);
  service_.SetOptions(
      {TBackupOption::IgnoreChecksums, TBackupOption::ConvertExtTables, TBackupOption::MetadataOnly});
  EXPECT_EQ(StartWith({"a"}), head + Bytes({108, 0x45, 0, 0, 0, 6, 4, 3, 2, 1, 5, 1, 0, 'a'}));

  service_.SetBlockingFactor(0);
  service_.SetOptions({});
  EXPECT_EQ(StartWith({"  \t", " a", "b=2048"}),
            head + Bytes({108, 0, 0, 0, 0, 5, 2, 0, ' ', 'a', 5, 1, 0, 'b', 7, 0, 8, 0, 0}))
      << "blank line skipped, leading spaces kept, path=length adds its length";

  EXPECT_EQ(StartWith({"=5"}), head + Bytes({108, 0, 0, 0, 0, 7, 5, 0, 0, 0})) << "empty path has no cluster";
  EXPECT_EQ(fake_.Calls("isc_service_start"), 5);
}

TEST_F(BackupActionTest, BadStartsAreRefusedBeforeAnythingIsSent) {
  service_.Attach();
  service_.BackupFile().Assign({"b.fbk=12x"});
  try {
    service_.Start();
    FAIL() << "started with a bad file length";
  } catch (const platform::EConvertError& error) {
    EXPECT_EQ(error.Message(), "'12x' is not a valid integer value");
  }

  service_.BackupFile().Assign({std::string(65536, 'p')});
  EXPECT_THROW(service_.Start(), EIBError);
  service_.BackupFile().Assign({std::string(40000, 'p'), std::string(30000, 'q')});
  try {
    service_.Start();
    FAIL() << "sent a request over 65535 bytes";
  } catch (const EIBError& error) {
    EXPECT_EQ(error.Message(), "The start request is longer than 65535 bytes (70024 bytes)");
  }

  service_.SetDatabaseName("");
  try {
    service_.Start();
    FAIL() << "started without a database";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "start Parameters missing or incorrect");
  }
  EXPECT_EQ(fake_.Calls("isc_service_start"), 0);
  EXPECT_TRUE(service_.Active());

  service_.Detach();
  service_.SetDatabaseName("/db/x.fdb");
  try {
    service_.Start();
    FAIL() << "started while not attached";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "Cannot perform operation -- service is not attached");
  }
}

TEST_F(BackupActionTest, RefusedStartDropsTheAttachment) {
  service_.Attach();
  fake_.FailNext("isc_service_start", 335544344, -902,
                 {"I/O error during \"open\" operation for file \"/db/x.fdb\""});
  EXPECT_THROW(StartWith({"a"}), EIBInterBaseError);
  EXPECT_FALSE(service_.Active());
}

TEST_F(BackupActionTest, OutputLinesUntilTheEmptyOne) {
  try {
    service_.ReadOutputLine();
    FAIL() << "read output before any start";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "Query Parameters missing or incorrect");
  }
  StartWith({"a"});
  fake_.QueueLine("gbak:readied database /db/x.fdb for backup ");
  fake_.QueueLine(std::string("cut\0here", 8));
  fake_.QueueReply(Bytes({62, 0, 0, 1}));
  std::vector<std::string> lines;
  while (!service_.EndOfOutput()) lines.push_back(service_.ReadOutputLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"gbak:readied database /db/x.fdb for backup ", "cut", ""}));
  EXPECT_EQ(fake_.LastBytes("isc_service_query"), Bytes({62}));
  EXPECT_EQ(fake_.LastReplyBufferSize(), 32000);

  EXPECT_EQ(service_.ReadOutputLine(), "");
  EXPECT_EQ(fake_.Calls("isc_service_query"), 3) << "no query once the output ended";

  StartWith({"a"});
  EXPECT_FALSE(service_.EndOfOutput()) << "a new start reads output again";
}

TEST_F(BackupActionTest, OutputBeyondItsLimitIsRefusedAndEachStartMayGiveItAgain) {
  EXPECT_EQ(service_.MaxOutputSize(), 16 * 1024 * 1024);
  service_.SetMaxOutputSize(10);
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start);
    StartWith({"a"});
    fake_.QueueLine("abcdef");
    fake_.QueueLine(std::string(4, '\0'));  // counted as sent, though it reads as an empty text
    fake_.QueueLine("k");
    EXPECT_EQ(service_.ReadOutputLine(), "abcdef");
    EXPECT_EQ(service_.ReadOutputLine(), "");
    EXPECT_FALSE(service_.EndOfOutput());
    try {
      service_.ReadOutputLine();
      ADD_FAILURE() << "output past its limit accepted";
    } catch (const EIBError& error) {
      EXPECT_EQ(error.Message(), "Saída do serviço de backup excede o limite de 10 bytes");
    }
  }
}

TEST_F(BackupActionTest, MalformedRepliesAreRefusedWithoutReadingPastTheBuffer) {
  service_.SetBufferSize(16);
  StartWith({"a"});
  const std::vector<std::string> malformed = {
      Bytes({61, 0, 0, 1}),                            // not a line item
      Bytes({62, 2, 0, 'o', 'k', 2}),                  // terminator not isc_info_end
      Bytes({62, 13, 0}) + std::string(13, 'x'),       // terminator would be the 17th byte of 16
      Bytes({62, 0xFF, 0xFF}) + std::string(13, 'x'),  // length far past the buffer
  };
  for (const std::string& reply : malformed) {
    fake_.QueueReply(reply + std::string(16 - std::min<std::size_t>(reply.size(), 16), '\0'));
    try {
      service_.ReadOutputLine();
      ADD_FAILURE() << "accepted a malformed reply";
    } catch (const EIBClientError& error) {
      EXPECT_EQ(error.Message(), "Unexpected Output buffer value");
    }
    EXPECT_FALSE(service_.EndOfOutput());
  }
  fake_.QueueLine(std::string(12, 'y'));  // the longest line that fits 16 bytes
  EXPECT_EQ(service_.ReadOutputLine(), std::string(12, 'y'));
  EXPECT_EQ(fake_.LastReplyBufferSize(), 16);

  service_.SetBufferSize(40);  // reallocated: a longer line now fits
  fake_.QueueLine(std::string(36, 'z'));
  EXPECT_EQ(service_.ReadOutputLine(), std::string(36, 'z'));
  EXPECT_EQ(fake_.LastReplyBufferSize(), 40);
}

TEST_F(BackupActionTest, BufferSizeOutsideItsRangeIsRefused) {
  EXPECT_THROW(service_.SetBufferSize(3), EIBError);
  EXPECT_THROW(service_.SetBufferSize(65536), EIBError);
  service_.SetBufferSize(65535);
  EXPECT_EQ(service_.BufferSize(), 65535);
}

TEST_F(BackupActionTest, FailedQueryDropsTheAttachment) {
  StartWith({"a"});
  fake_.FailNext("isc_service_query", 335544856, -902, {"connection shutdown"});
  try {
    service_.ReadOutputLine();
    FAIL() << "query failure not reported";
  } catch (const EIBInterBaseError& error) {
    EXPECT_EQ(error.Message(), "connection shutdown");
  }
  EXPECT_FALSE(service_.Active());
}

}  // namespace
}  // namespace ibservice

#include <gtest/gtest.h>

#include "ibservice/Errors.h"
#include "ibservice/ServiceBuffers.h"
#include "ibservice/TIBBackupService.h"
#include "tests/ibservice/FakeServiceTest.h"

namespace ibservice {
namespace {

using testing::Bytes;

class AttachmentTest : public testing::FakeServiceTest {};

TEST_F(AttachmentTest, ServiceNameFollowsTheProtocol) {
  EXPECT_EQ(service_.ServiceName(), "localhost:service_mgr");
  service_.SetProtocol(TProtocol::SPX);
  EXPECT_EQ(service_.ServiceName(), "localhost@service_mgr");
  service_.SetProtocol(TProtocol::NamedPipe);
  EXPECT_EQ(service_.ServiceName(), "\\\\localhost\\service_mgr");
  service_.SetProtocol(TProtocol::Local);
  EXPECT_EQ(service_.ServiceName(), "service_mgr");
  EXPECT_EQ(service_.ServerName(), "");

  service_.SetProtocol(TProtocol::TCP);
  EXPECT_EQ(service_.ServerName(), "");
  try {
    service_.Attach();
    FAIL() << "attached without a server name";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "Server Name Missing");
    EXPECT_EQ(error.SqlErrorCode(), 92);
  }
  EXPECT_EQ(fake_.Calls("isc_service_attach"), 0);
}

TEST_F(AttachmentTest, AttachSendsTheServiceNameAndTheCredentials) {
  service_.SetServerName("db.example/3051");
  service_.Params().Add("user_name=SYSDBA");
  service_.Params().Add("password=velvetorb");
  service_.Attach();
  EXPECT_TRUE(service_.Active());
  EXPECT_EQ(fake_.LastBytes("isc_service_attach"), "db.example/3051:service_mgr");
  EXPECT_EQ(fake_.LastBytes("spb"), Bytes({2, 2, 28, 6}) + "SYSDBA" + Bytes({29, 9}) + "velvetorb");
}

TEST_F(AttachmentTest, AttachedComponentRefusesChangesAndASecondAttach) {
  service_.Params().Add("user_name=A");
  service_.Attach();
  service_.SetActive(true);
  EXPECT_EQ(fake_.Calls("isc_service_attach"), 1);

  service_.SetServerName("localhost");  // the same text is accepted
  const auto expectAttachedError = [](const std::function<void()>& change) {
    try {
      change();
      ADD_FAILURE() << "change accepted while attached";
    } catch (const EIBClientError& error) {
      EXPECT_EQ(error.Message(), "Cannot perform operation -- service is attached");
    }
  };
  expectAttachedError([&] { service_.Attach(); });
  expectAttachedError([&] { service_.SetServerName("other"); });
  expectAttachedError([&] { service_.SetProtocol(TProtocol::Local); });
  expectAttachedError([&] { service_.Params().Clear(); });
  expectAttachedError([&] { service_.SetParams({"password=x"}); });
  EXPECT_TRUE(service_.Active());
  EXPECT_EQ(service_.Params().Lines(), std::vector<std::string>{"user_name=A"});
  EXPECT_EQ(fake_.Calls("isc_service_attach"), 1);

  service_.SetActive(false);
  EXPECT_FALSE(service_.Active());
  EXPECT_EQ(fake_.Calls("isc_service_detach"), 1);
  try {
    service_.Detach();
    FAIL() << "detached twice";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "Cannot perform operation -- service is not attached");
  }
}

TEST_F(AttachmentTest, FailedDetachStillDropsTheAttachment) {
  service_.Attach();
  fake_.FailNext("isc_service_detach", 335544727, -902, {"Error writing data to the connection."});
  EXPECT_THROW(service_.Detach(), EIBInterBaseError);
  EXPECT_FALSE(service_.Active());
}

TEST_F(AttachmentTest, BadParamsLineIsRefusedBeforeAnythingIsSentAndNotReusedLater) {
  service_.Params().Add("user_name=A");
  service_.Params().Add("sql_role_name=R");
  try {
    service_.Attach();
    FAIL() << "attached with an unsupported parameter";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "SPB Constant Not supported");
  }
  EXPECT_EQ(fake_.Calls("isc_service_attach"), 0);
  // The same bad list must be rejected again, not slip through with a half-built buffer.
  EXPECT_THROW(service_.Attach(), EIBClientError);
  service_.SetParams({"user_name=A"});
  service_.Attach();
  EXPECT_EQ(fake_.LastBytes("spb"), Bytes({2, 2, 28, 1}) + "A");
}

TEST_F(AttachmentTest, LoginPromptWithoutHandlerCancelsAndHandlerReplacesParams) {
  service_.SetLoginPrompt(true);
  try {
    service_.Attach();
    FAIL() << "attached with a login prompt and no login handler";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.Message(), "Operation cancelled at user's request");
  }
  service_.OnLogin = [](TIBCustomService&, TStringList& params) {
    params.Assign({"user_name=U", "password=P"});
  };
  int attached = 0;
  service_.OnAttach = [&](TIBCustomService&) { ++attached; };
  service_.Attach();
  EXPECT_EQ(attached, 1);
  EXPECT_EQ(fake_.LastBytes("spb"), Bytes({2, 2, 28, 1, 'U', 29, 1, 'P'}));
}

struct BufferCase {
  const char* name;
  std::vector<std::string> params;
  std::string buffer;  // empty: refused with `error`
  std::string error = {};
};

class ParameterBufferTest : public ::testing::TestWithParam<BufferCase> {};

TEST_P(ParameterBufferTest, Build) {
  const BufferCase& c = GetParam();
  if (c.error.empty()) {
    EXPECT_EQ(BuildParameterBuffer(c.params), c.buffer);
  } else {
    try {
      BuildParameterBuffer(c.params);
      FAIL() << "accepted";
    } catch (const EIBError& error) {
      EXPECT_EQ(error.Message(), c.error);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParameterBufferTest,
    ::testing::Values(
        BufferCase{"CapitalsAndPrefixAreAccepted",
                   {"USER_NAME=u", "isc_spb_password=p"},
                   Bytes({2, 2, 28, 1, 'u', 29, 1, 'p'})},
        BufferCase{"LineWithoutEqualsIsIgnored", {"user_name", "password=p"}, Bytes({2, 2, 29, 1, 'p'})},
        BufferCase{"BlankNameIsIgnored", {" \t=x", "password=p"}, Bytes({2, 2, 29, 1, 'p'})},
        BufferCase{"EmptyPasswordKeepsItsCluster", {"password="}, Bytes({2, 2, 29, 0})},
        BufferCase{
            "ValueKeepsEverythingAfterTheFirstEquals", {"password= a=b "}, Bytes({2, 2, 29, 5}) + " a=b "},
        BufferCase{"NoLinesGivesTheVersionOnly", {}, Bytes({2, 2})},
        BufferCase{"LeadingSpaceMakesTheNameUnknown", {" user_name=u"}, "", "SPB Constant Unknown"},
        BufferCase{"UnknownName", {"user_name=u", "role=x"}, "", "SPB Constant Unknown"},
        BufferCase{"KnownButUnsupportedName", {"isc_spb_verbose=1"}, "", "SPB Constant Not supported"},
        BufferCase{"ValueOf256BytesIsRefused",
                   {"password=" + std::string(256, 'x')},
                   "",
                   "The value of password is longer than 255 bytes (256 bytes)"},
        BufferCase{"ValueOf255BytesFits",
                   {"user_name=" + std::string(255, 'x')},
                   Bytes({2, 2, 28, 255}) + std::string(255, 'x')}),
    [](const ::testing::TestParamInfo<BufferCase>& info) { return info.param.name; });

}  // namespace
}  // namespace ibservice

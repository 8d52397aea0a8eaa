#include <gtest/gtest.h>

#include "ibservice/ClientLibrary.h"
#include "ibservice/Errors.h"
#include "ibservice/StatusError.h"
#include "ibservice/TIBBackupService.h"
#include "tests/ibservice/FakeClientLibrary.h"

namespace ibservice {
namespace {

using testing::FakeClientLibrary;

TEST(ClientBindingTest, MissingLibraryFailsTheComponentWithClientError1) {
  SetClientLibraryNames({"/nonexistent/libfbclient.so.2", "libtorvi-no-such-client.so"});
  try {
    TIBBackupService service;
    FAIL() << "created without a client library";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.SqlErrorCode(), 1);
    EXPECT_EQ(error.ServerErrorCode(), 0);
    EXPECT_EQ(error.Message(),
              "InterBase library gds32.dll not found in the path. Please install InterBase to use this "
              "functionality");
  }
  EXPECT_FALSE(ClientLibraryLoaded());
  SetClientLibraryNames(DefaultClientLibraryNames());
}

TEST(ClientBindingTest, LaterNameIsTriedWhenTheFirstDoesNotLoad) {
  SetClientLibraryNames({"/nonexistent/libfbclient.so.2", TORVI_FAKE_CLIENT});
  TIBBackupService service;
  EXPECT_EQ(ClientFeatureLevel(), 6);
  service.SetProtocol(TProtocol::TCP);
  service.SetServerName("srv");
  service.SetLoginPrompt(false);
  service.Attach();
  EXPECT_TRUE(service.Active());
  service.Detach();
  SetClientLibraryNames(DefaultClientLibraryNames());
}

TEST(ClientBindingTest, MissingMandatoryEntryRaisesTheSystemErrorForEveryCaller) {
  FakeClientLibrary fake(TORVI_FAKE_CLIENT_INCOMPLETE);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      TIBBackupService service;
      FAIL() << "created with an incomplete client library";
    } catch (const EOSError& error) {
      EXPECT_TRUE(error.Message().starts_with("System Error.  Code: 2.\r\n")) << error.Message();
      EXPECT_NE(error.Message().find("isc_interprete"), std::string::npos) << error.Message();
    }
  }
}

TEST(ClientBindingTest, OldLibraryCreatesTheComponentButRefusesServiceCalls) {
  FakeClientLibrary fake(TORVI_FAKE_CLIENT_OLD);
  TIBBackupService service;
  EXPECT_EQ(ClientFeatureLevel(), 5);
  service.SetProtocol(TProtocol::TCP);
  service.SetServerName("localhost");
  service.SetLoginPrompt(false);
  try {
    service.Attach();
    FAIL() << "attached through a library without service entries";
  } catch (const EIBClientError& error) {
    EXPECT_EQ(error.SqlErrorCode(), 3);
    EXPECT_EQ(error.Message(),
              "isc_service_attach is an InterBase 6 function. Please upgrade to InterBase 6 to use this "
              "functonality");
  }
  EXPECT_FALSE(service.Active());
}

struct StatusCase {
  const char* name;
  int sqlCode;
  std::vector<std::string> texts;
  bool includeSqlCode;
  std::string message;
  bool roleError;
};

class StatusErrorTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusErrorTest, FailedCallBecomesTheServerTexts) {
  const StatusCase& c = GetParam();
  FakeClientLibrary fake;
  SetErrorMessageOptions({c.includeSqlCode, true});
  TIBBackupService service;
  service.SetProtocol(TProtocol::TCP);
  service.SetServerName("srv");
  service.SetLoginPrompt(false);
  fake.FailNext("isc_service_attach", 335544472, c.sqlCode, c.texts);
  try {
    service.Attach();
    FAIL() << "attach did not fail";
  } catch (const EIBError& error) {
    EXPECT_EQ(error.Message(), c.message);
    EXPECT_EQ(error.SqlErrorCode(), c.sqlCode);
    EXPECT_EQ(error.ServerErrorCode(), 335544472);
    EXPECT_EQ(dynamic_cast<const EIBInterBaseRoleError*>(&error) != nullptr, c.roleError);
    EXPECT_EQ(dynamic_cast<const EIBInterBaseError*>(&error) != nullptr, !c.roleError);
  }
  EXPECT_FALSE(service.Active());
  SetErrorMessageOptions({});
}

INSTANTIATE_TEST_SUITE_P(
    Messages, StatusErrorTest,
    ::testing::Values(
        StatusCase{"ThreeTextsOnlyTheLastFullStopGoes",
                   -902,
                   {"First", "Second.", "Third."},
                   false,
                   "First\r\nSecond.\r\nThird",
                   false},
        StatusCase{
            "TextEndingInLineFeedIsFollowedDirectly", -902, {"One\n", "Two"}, false, "One\nTwo", false},
        StatusCase{"SqlCode551IsARoleError",
                   -551,
                   {"no permission for read access."},
                   false,
                   "no permission for read access",
                   true},
        StatusCase{"SqlCodeFirstWhenAsked",
                   -902,
                   {"Unable to complete network request."},
                   true,
                   "SQLCODE: -902\r\nUnable to complete network request",
                   false},
        StatusCase{"NoTextsGivesAnEmptyMessage", -901, {}, false, "", false}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

}  // namespace
}  // namespace ibservice

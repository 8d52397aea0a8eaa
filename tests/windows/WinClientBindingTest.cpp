#include <gtest/gtest.h>

#include "ibservice/ClientLibrary.h"
#include "ibservice/Errors.h"
#include "platform/Files.h"

namespace {

// The fake client libraries are built into folders of their own below the test's folder, off the
// search path, so that only the test that names one loads it.
std::string FakeClient(const std::string& variant) {
  return platform::ExecutableFolder() + "testdlls\\" + variant + "\\gds32.dll";
}

class WinClientBinding : public ::testing::Test {
 protected:
  void TearDown() override { ibservice::SetClientLibraryNames(ibservice::DefaultClientLibraryNames()); }
};

TEST_F(WinClientBinding, WithoutAClientLibraryTheFirstServiceFailsWithClientErrorOne) {
  EXPECT_EQ(ibservice::DefaultClientLibraryNames(), (std::vector<std::string>{"gds32.dll", "fbclient.dll"}));
  ASSERT_FALSE(platform::FileExists(platform::ExecutableFolder() + "gds32.dll"));
  try {
    ibservice::RequireClientLibrary();
    FAIL() << "a client library was found";
  } catch (const ibservice::EIBClientError& error) {
    EXPECT_EQ(error.SqlErrorCode(), 1);
    EXPECT_EQ(error.Message(),
              "InterBase library gds32.dll not found in the path. Please install InterBase to use this "
              "functionality");
  }
  EXPECT_FALSE(ibservice::ClientLibraryLoaded());
}

TEST_F(WinClientBinding, ALibraryOfOursBindsItsEntryPointsByName) {
  ibservice::SetClientLibraryNames({FakeClient("full")});
  ibservice::RequireClientLibrary();
  EXPECT_EQ(ibservice::ClientFeatureLevel(), 6);
  EXPECT_EQ(ibservice::Client().isc_vax_integer("\x34\x12", 2), 0x1234);
}

TEST_F(WinClientBinding, AnOldLibraryBindsWithoutTheServiceEntries) {
  ibservice::SetClientLibraryNames({FakeClient("old")});
  ibservice::RequireClientLibrary();
  EXPECT_EQ(ibservice::ClientFeatureLevel(), 5);
}

TEST_F(WinClientBinding, AMissingMandatoryEntryIsTheSystemsError) {
  ibservice::SetClientLibraryNames({FakeClient("incomplete")});
  try {
    ibservice::RequireClientLibrary();
    FAIL() << "an incomplete library was bound";
  } catch (const ibservice::EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), 127) << "the procedure was not found";
    EXPECT_TRUE(error.Message().starts_with("System Error.  Code: 127.\r\n")) << error.Message();
    EXPECT_GT(error.Message().size(), std::string("System Error.  Code: 127.\r\n").size());
  }
  EXPECT_THROW(ibservice::RequireClientLibrary(), ibservice::EOSError) << "and stays failed";
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/Sockets.h"

namespace {

// Run with WS2_32.DLL disabled, as on a system without Windows Sockets 2.
TEST(WinSocketsMissing, LoadingFailsWithTheLibraryNameAndTheSystemsReason) {
  try {
    platform::PlatformSockets();
    FAIL() << "the library loaded";
  } catch (const platform::SocketLibraryError& error) {
    EXPECT_EQ(error.GetKind(), platform::SocketLibraryError::Kind::Load);
    EXPECT_EQ(error.Name(), "WS2_32.DLL");
    EXPECT_EQ(error.ErrorCode(), 126);
    EXPECT_FALSE(error.ErrorText().empty());
    EXPECT_EQ(error.Message(), "WS2_32.DLL: " + error.ErrorText());
  }
  EXPECT_THROW(platform::PlatformSockets(), platform::SocketLibraryError)
      << "every later use fails the same way";
}

}  // namespace

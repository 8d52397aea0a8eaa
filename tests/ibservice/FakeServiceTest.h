#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "ibservice/TIBBackupService.h"
#include "tests/ibservice/FakeClientLibrary.h"

namespace ibservice::testing {

// Bytes of a parameter buffer or a reply, written as numbers.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) bytes += static_cast<char>(value);
  return bytes;
}

// A service bound to the fake client library, set for TCP on localhost without a login prompt.
class FakeServiceTest : public ::testing::Test {
 protected:
  FakeServiceTest() {
    service_.SetProtocol(TProtocol::TCP);
    service_.SetServerName("localhost");
    service_.SetLoginPrompt(false);
  }

  FakeClientLibrary fake_;
  TIBBackupService service_;
};

}  // namespace ibservice::testing

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/Fingerprint.h"

namespace {

const std::string kCanonical =
    "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";
const std::string kBare = "abcdef0123456789abcdef0123456789abcdef0123456789abcdef0123456789";

TEST(Fingerprint, ReadsTheFormsPeopleCopyAndRefusesTheRest) {
  const std::string spaced =
      "ab cd ef 01 23 45 67 89 ab cd ef 01 23 45 67 89 ab cd ef 01 23 45 67 89 ab cd ef 01 23 45 67 89";
  for (const std::string& form :
       {kCanonical, kBare, "sha256 Fingerprint=" + kCanonical, "SHA256:" + kBare, spaced}) {
    EXPECT_EQ(platform::CanonicalFingerprint(form), kCanonical) << form;
  }
  EXPECT_EQ(platform::CanonicalFingerprint(""), "");
  for (const std::string& bad : {kBare.substr(2), kBare + "00", "zz" + kBare.substr(2), std::string(":")}) {
    EXPECT_FALSE(platform::CanonicalFingerprint(bad)) << bad;
  }
}

TEST(Fingerprint, ADigestIsWrittenInTheCanonicalForm) {
  const std::array<unsigned char, 32> digest{0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                             0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45,
                                             0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_EQ(platform::FingerprintText(digest), kCanonical);
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ftp/Stream.h"
#include "platform/Utf8Path.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(WinFileStream, AnUploadSourceInANonAsciiFolderOpensAndReadsWhole) {
  testsupport::TempFolder temp;
  const std::string folder = temp / "Cópias de Segurança";
  std::filesystem::create_directory(platform::Utf8Path(folder));
  testsupport::WriteBytes(platform::Utf8Path(folder + "\\bkp€.rar"), "archive bytes");

  ftp::TFileReadStream stream(folder + "\\bkp€.rar");
  std::string read(64, '\0');
  read.resize(stream.Read(read.data(), read.size()));

  EXPECT_EQ(stream.Size(), 13);
  EXPECT_EQ(read, "archive bytes");
}

}  // namespace

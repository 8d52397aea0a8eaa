#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Exception.h"
#include "platform/Files.h"
#include "run/Archiver.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace std::string_literals;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

std::span<const std::byte> Bytes(const std::string& text) { return std::as_bytes(std::span(text)); }

TEST(ArchiverTest, MissingArchiverIsWrittenWhole) {
  TempFolder folder;
  const std::string path = folder.Path() + "winrar.exe";
  const std::string program = "program bytes\0with a zero"s;
  run::WriteArchiverIfMissing(path, Bytes(program));
  EXPECT_EQ(ReadBytes(path), program);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Root()), {}), 1) << "no side file left";
#ifndef _WIN32
  const auto permissions = std::filesystem::status(path).permissions();
  EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
#endif
}

TEST(ArchiverTest, ExistingFileIsNeverOverwritten) {
  TempFolder folder;
  const std::string path = folder.Path() + "winrar.exe";
  for (const std::string& existing : {std::string(), std::string("not an archiver")}) {
    WriteBytes(path, existing);
    run::WriteArchiverIfMissing(path, Bytes("program bytes"));
    EXPECT_EQ(ReadBytes(path), existing);
  }
}

TEST(ArchiverTest, UnwritableTargetRaisesAndLeavesNothing) {
  TempFolder folder;
  const std::string missingFolderPath = folder.Path() + "missing" + platform::kPathSeparator + "winrar.exe";
  EXPECT_THROW(run::WriteArchiverIfMissing(missingFolderPath, Bytes("program")), platform::Exception);

  const std::string path = folder.Path() + "winrar.exe";
  EXPECT_THROW(run::WriteArchiverIfMissing(path, {}), platform::Exception) << "a build without an archiver";
  EXPECT_TRUE(std::filesystem::is_empty(folder.Root()));
}

TEST(ArchiverTest, CommandLineDoublesTheSeparatorBeforeTheArchiverAndQuotesNothing) {
  run::RunNames names;
  names.workFolder = std::string("W") + platform::kPathSeparator;
  names.archiveName = "bkp08122026210728.rar";
  names.localBackupPath = names.workFolder + "bkp08122026210728.bk";
  const std::string separator(1, platform::kPathSeparator);
  EXPECT_EQ(run::ArchiverCommandLine(names), "W" + separator + separator + "winrar.exe a -ep -ibck W" +
                                                 separator + "bkp08122026210728.rar W" + separator +
                                                 "bkp08122026210728.bk");
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/FileContents.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(ReadFileBytes, ReturnsEveryByteOrNothing) {
  TempFolder temp;
  const std::string binary("a\0b\r\n\xFF", 6);
  WriteBytes(temp / "f", binary);
  EXPECT_EQ(platform::ReadFileBytes(temp / "f"), binary);
  EXPECT_FALSE(platform::ReadFileBytes(temp / "missing").has_value());
  EXPECT_FALSE(platform::ReadFileBytes(temp.Path()).has_value());
}

TEST(ReplaceFileContents, CreatesOrReplacesKeepingPermissionsAndLeavesNoTemporaryFile) {
  TempFolder temp;
  ASSERT_TRUE(platform::ReplaceFileContents(temp / "new", "first"));
  EXPECT_EQ(ReadBytes(temp / "new"), "first");

  WriteBytes(temp / "old", "previous");
  fs::permissions(temp / "old", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(platform::ReplaceFileContents(temp / "old", "second"));
  EXPECT_EQ(ReadBytes(temp / "old"), "second");
  EXPECT_EQ(fs::status(temp / "old").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 2);
}

TEST(ReplaceFileContents, ANewFileIsItsOwnersAloneWhateverTheUmask) {
  TempFolder temp;
  const mode_t previous = ::umask(022);
  ASSERT_TRUE(platform::ReplaceFileContents(temp / "new", "password"));
  ::umask(previous);
  EXPECT_EQ(fs::status(temp / "new").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ReplaceFileContents, ALinkPlantedUnderTheTemporaryNameIsNeverWrittenThrough) {
  TempFolder temp;
  TempFolder outside;
  WriteBytes(outside / "target", "outside");
  WriteBytes(temp / "settings.ini", "old");
  fs::create_symlink(outside / "target", temp / "settings.ini.tmp");
  ASSERT_TRUE(platform::ReplaceFileContents(temp / "settings.ini", "new"));
  EXPECT_EQ(ReadBytes(temp / "settings.ini"), "new");
  EXPECT_EQ(ReadBytes(outside / "target"), "outside");
  EXPECT_FALSE(fs::exists(temp / "settings.ini.tmp"));
}

TEST(ReplaceFileContents, WritesTheTargetOfASymbolicLink) {
  TempFolder temp;
  fs::create_directory(temp / "real");
  WriteBytes(temp / "real/settings.ini", "old");
  fs::create_symlink(temp / "real/settings.ini", temp / "link.ini");
  ASSERT_TRUE(platform::ReplaceFileContents(temp / "link.ini", "new"));
  EXPECT_TRUE(fs::is_symlink(temp / "link.ini"));
  EXPECT_EQ(ReadBytes(temp / "real/settings.ini"), "new");
}

TEST(ReplaceFileContents, RefusesAndKeepsThePreviousFile) {
  TempFolder temp;
  WriteBytes(temp / "readonly", "keep me");
  fs::permissions(temp / "readonly", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::create_directory(temp / "folder");
  WriteBytes(temp / "plain", "x");

  EXPECT_FALSE(platform::ReplaceFileContents(temp / "readonly", "lost"));
  EXPECT_EQ(ReadBytes(temp / "readonly"), "keep me");
  EXPECT_FALSE(platform::ReplaceFileContents(temp / "folder", "x"));
  EXPECT_TRUE(fs::is_directory(temp / "folder"));
  EXPECT_FALSE(platform::ReplaceFileContents(temp / "missing/f", "x"));
  EXPECT_FALSE(platform::ReplaceFileContents(temp / "plain/f", "x")) << "a file where a folder should be";
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 3);
}

TEST(ReplaceFileContents, RefusesInAFolderItCannotWriteTo) {
  if (!testsupport::PermissionBitsBind()) GTEST_SKIP() << "the superuser writes into read-only folders";
  TempFolder temp;
  fs::create_directory(temp / "locked");
  WriteBytes(temp / "locked/f", "keep me");
  fs::permissions(temp / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(platform::ReplaceFileContents(temp / "locked/f", "lost"));
  EXPECT_FALSE(platform::ReplaceFileContents(temp / "locked/g", "x"));
  EXPECT_EQ(ReadBytes(temp / "locked/f"), "keep me");
}

}  // namespace

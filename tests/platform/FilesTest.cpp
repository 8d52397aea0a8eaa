#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "platform/Files.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(FindFiles, ListsMatchingEntriesOfTheFolderIgnoringCaseAndReportsFolders) {
  TempFolder temp;
  WriteBytes(temp / "bkp01012026000000.bk", "a");
  WriteBytes(temp / "OLD.BK", "b");
  WriteBytes(temp / ".hidden.bk", "c");
  WriteBytes(temp / "bkp01012026000000.rar", "d");
  WriteBytes(temp / "winrar.exe", "e");
  std::filesystem::create_directory(temp / "folder.bk");

  std::vector<platform::FoundEntry> found = platform::FindFiles(temp / "*.bk");
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].name, ".hidden.bk");
  EXPECT_EQ(found[1].name, "OLD.BK");
  EXPECT_EQ(found[2].name, "bkp01012026000000.bk");
  EXPECT_EQ(found[3].name, "folder.bk");
  EXPECT_FALSE(found[0].isFolder);
  EXPECT_TRUE(found[3].isFolder);

  EXPECT_TRUE(platform::FindFiles(temp / "missing/*.bk").empty());
  EXPECT_TRUE(platform::FindFiles(temp / "*.zip").empty());
}

TEST(Files, ExistsCreatesAndDeletes) {
  TempFolder temp;
  EXPECT_FALSE(platform::FileExists(temp / "f"));
  WriteBytes(temp / "f", "x");
  EXPECT_TRUE(platform::FileExists(temp / "f"));
  EXPECT_FALSE(platform::FileExists(temp.Path())) << "a folder is not a file";

  EXPECT_TRUE(platform::CreateFolder(temp / "torvi"));
  EXPECT_TRUE(platform::CreateFolder(temp / "torvi/Backup/")) << "a closing separator is allowed";
  EXPECT_FALSE(platform::CreateFolder(temp / "torvi")) << "already exists";
  EXPECT_FALSE(platform::CreateFolder(temp / "a/b")) << "only one level at a time";

  EXPECT_TRUE(platform::DeleteFile(temp / "f"));
  EXPECT_FALSE(platform::DeleteFile(temp / "f"));
  EXPECT_FALSE(platform::DeleteFile(temp / "torvi")) << "folders are not deleted";
  EXPECT_TRUE(std::filesystem::is_directory(temp / "torvi"));
}

TEST(CopyFile, ReplacesTheTargetAndKeepsTheSource) {
  TempFolder temp;
  const std::string big(3 << 20, 'z');  // more than one buffer
  WriteBytes(temp / "from", big);
  WriteBytes(temp / "to", "old content that is longer than nothing");
  ASSERT_TRUE(platform::CopyFile(temp / "from", temp / "to"));
  EXPECT_EQ(ReadBytes(temp / "to"), big);
  EXPECT_EQ(ReadBytes(temp / "from"), big);
}

TEST(CopyFile, FailsWithoutDamage) {
  TempFolder temp;
  WriteBytes(temp / "from", "data");
  EXPECT_FALSE(platform::CopyFile(temp / "missing", temp / "to"));
  EXPECT_FALSE(platform::FileExists(temp / "to"));
  EXPECT_FALSE(platform::CopyFile(temp / "from", temp / "from")) << "onto itself";
  EXPECT_EQ(ReadBytes(temp / "from"), "data");
  EXPECT_FALSE(platform::CopyFile(temp / "from", temp / "no-folder/to"));
  EXPECT_FALSE(platform::CopyFile(temp.Path(), temp / "to")) << "a folder is not copied";
}

TEST(CopyFile, LeavesNoPartialTargetWhenTheMediumIsFull) {
  TempFolder temp;
  WriteBytes(temp / "from", std::string(3 << 20, 'z'));
  WriteBytes(temp / "to", "earlier archive");
  // A file size limit makes the writes fail part way, as a full medium does.
  const auto copyUnderLimit = [&temp] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1 << 20, 1 << 20};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::exit(platform::CopyFile(temp / "from", temp / "to") ? 1 : 0);
  };
  EXPECT_EXIT(copyUnderLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(platform::FileExists(temp / "to"));
  EXPECT_EQ(ReadBytes(temp / "from").size(), 3u << 20);
}

TEST(CopyFile, FailingIntoADeviceRemovesNothing) {
  TempFolder temp;
  WriteBytes(temp / "from", "data");
  std::filesystem::create_symlink("/dev/full", temp / "full");
  if (!std::filesystem::exists(temp / "full")) GTEST_SKIP() << "no /dev/full on this system";
  EXPECT_FALSE(platform::CopyFile(temp / "from", temp / "full"));
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "full"));
}

// What another user may have planted under a name: a file, a link to a file outside, a dangling link.
class PlantedNames : public testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(outside / "target", "outside");
    WriteBytes(temp / "file", "planted");
    std::filesystem::create_symlink(outside / "target", temp / "link");
    std::filesystem::create_symlink(outside / "missing", temp / "dangling");
  }
  void ExpectOutsideUntouched() const {
    EXPECT_EQ(ReadBytes(outside / "target"), "outside");
    EXPECT_FALSE(std::filesystem::exists(outside / "missing"));
  }

  TempFolder temp;
  TempFolder outside;
};

TEST_F(PlantedNames, WriteNewFileRefusesEveryOneAndCreatesOwnerOnlyFiles) {
  for (const char* name : {"file", "link", "dangling"})
    EXPECT_FALSE(platform::WriteNewFile(temp / name, "mine", platform::NewFileAccess::OwnerOnly)) << name;
  ExpectOutsideUntouched();
  EXPECT_EQ(ReadBytes(temp / "file"), "planted");

  const mode_t previous = ::umask(0);  // the mode asked for holds whatever the umask
  ASSERT_TRUE(platform::WriteNewFile(temp / "new", "mine", platform::NewFileAccess::OwnerOnly));
  ASSERT_TRUE(platform::WriteNewFile(temp / "program", "code", platform::NewFileAccess::OwnerOnlyExecutable));
  ::umask(previous);
  EXPECT_EQ(ReadBytes(temp / "new"), "mine");
  EXPECT_EQ(std::filesystem::status(temp / "new").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(std::filesystem::status(temp / "program").permissions(), std::filesystem::perms::owner_all);
}

TEST_F(PlantedNames, RemoveFileOrLinkRemovesTheLinkNeverItsTarget) {
  std::filesystem::create_directory(temp / "folder");
  for (const char* name : {"file", "link", "dangling", "missing"})
    EXPECT_TRUE(platform::RemoveFileOrLink(temp / name)) << name;
  EXPECT_FALSE(platform::RemoveFileOrLink(temp / "folder"));
  EXPECT_EQ(testsupport::FileNames(temp.Root()), std::vector<std::string>{"folder"});
  ExpectOutsideUntouched();
}

TEST_F(PlantedNames, CopyToNewFileReplacesWhatStandsThereAndNeverWritesThroughALink) {
  WriteBytes(temp / "from", "backup");
  for (const char* name : {"file", "link", "dangling"}) {
    ASSERT_TRUE(platform::CopyToNewFile(temp / "from", temp / name)) << name;
    EXPECT_FALSE(std::filesystem::is_symlink(temp / name)) << name;
    EXPECT_EQ(ReadBytes(temp / name), "backup") << name;
  }
  ExpectOutsideUntouched();

  std::filesystem::create_hard_link(temp / "from", temp / "same");
  EXPECT_FALSE(platform::CopyToNewFile(temp / "from", temp / "from")) << "onto itself";
  EXPECT_FALSE(platform::CopyToNewFile(temp / "from", temp / "same")) << "onto itself by another name";
  EXPECT_EQ(ReadBytes(temp / "from"), "backup");
}

TEST(MoveFile, RenamesButNeverReplaces) {
  TempFolder temp;
  WriteBytes(temp / "a", "A");
  WriteBytes(temp / "b", "B");
  EXPECT_FALSE(platform::MoveFile(temp / "a", temp / "b"));
  EXPECT_EQ(ReadBytes(temp / "a"), "A");
  EXPECT_EQ(ReadBytes(temp / "b"), "B");
  EXPECT_TRUE(platform::MoveFile(temp / "a", temp / "c"));
  EXPECT_FALSE(platform::FileExists(temp / "a"));
  EXPECT_EQ(ReadBytes(temp / "c"), "A");
  EXPECT_FALSE(platform::MoveFile(temp / "a", temp / "d"));
}

TEST(FileCreationTime, IsNearNowForANewFileAndEmptyForAMissingOne) {
  TempFolder temp;
  WriteBytes(temp / "f", "x");
  const auto created = platform::FileCreationTime(temp / "f");
  ASSERT_TRUE(created.has_value());
  const auto distance = std::chrono::abs(std::chrono::system_clock::now() - *created);
  EXPECT_LT(distance, std::chrono::minutes(5));
  EXPECT_FALSE(platform::FileCreationTime(temp / "missing").has_value());
}

TEST(ExecutableFolder, IsTheFolderOfThisTestProgram) {
  const std::string folder = platform::ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "posix_platform_tests"));
}

}  // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/Files.h"
#include "platform/Utf8Path.h"
#include "tests/support/TempFolder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

std::vector<std::string> Names(const std::vector<platform::FoundEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name + (entry.isFolder ? "\\" : ""));
  return names;
}

TEST(WinFiles, NonAsciiNamesCrossTheSystemCallsAsUtf8) {
  TempFolder temp;
  const std::string folder = temp / "Cópias de Segurança\\";
  ASSERT_TRUE(platform::CreateFolder(folder));
  EXPECT_FALSE(platform::CreateFolder(folder)) << "an existing folder is reported, not recreated";

  WriteBytes(temp / "fonte.bk", "dados");
  ASSERT_TRUE(platform::CopyFile(temp / "fonte.bk", folder + "Relatório€.bk"));
  EXPECT_TRUE(platform::FileExists(folder + "Relatório€.bk"));
  EXPECT_THAT(Names(platform::FindFiles(folder + "*.BK")), ElementsAre("Relatório€.bk"));
  EXPECT_THAT(Names(platform::FindFiles(temp / "*")),
              UnorderedElementsAre("Cópias de Segurança\\", "fonte.bk"));

  ASSERT_TRUE(platform::MoveFile(folder + "Relatório€.bk", folder + "Ação.bk"));
  EXPECT_EQ(ReadBytes(folder + "Ação.bk"), "dados");
  EXPECT_TRUE(platform::DeleteFile(folder + "Ação.bk"));
  EXPECT_THAT(platform::FindFiles(folder + "*"), IsEmpty());
}

TEST(WinFiles, WildcardsMatchWithoutRegardToCaseAndReportFolders) {
  TempFolder temp;
  for (const char* name : {"X.BK", "y.bk", "z.bkx", "BKP1.RAR", "bkp2.rar", "winrar.exe", "notes.txt"}) {
    WriteBytes(temp / name, name);
  }
  ASSERT_TRUE(platform::CreateFolder(temp / "old.bk"));

  EXPECT_THAT(Names(platform::FindFiles(temp / "*.bk")), UnorderedElementsAre("X.BK", "y.bk", "old.bk\\"));
  EXPECT_THAT(Names(platform::FindFiles(temp / "bk*.rar")), UnorderedElementsAre("BKP1.RAR", "bkp2.rar"));
  EXPECT_THAT(Names(platform::FindFiles(temp / "?.bk")), UnorderedElementsAre("X.BK", "y.bk"));
  EXPECT_THAT(platform::FindFiles(temp / "*.zip"), IsEmpty());
  EXPECT_THAT(platform::FindFiles(temp / "missing\\*.bk"), IsEmpty());
  const auto all = Names(platform::FindFiles(temp / "*"));
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const std::string& n) { return n.starts_with("."); }),
            0);
}

TEST(WinFiles, FailedCopyMoveAndDeleteLeaveEveryFileAsItWas) {
  TempFolder temp;
  WriteBytes(temp / "a.rar", "new");
  WriteBytes(temp / "b.rar", "old");

  ASSERT_TRUE(platform::CopyFile(temp / "a.rar", temp / "b.rar")) << "a copy replaces its target";
  EXPECT_EQ(ReadBytes(temp / "b.rar"), "new");

  WriteBytes(temp / "b.rar", "old");
  EXPECT_FALSE(platform::MoveFile(temp / "a.rar", temp / "B.RAR")) << "a rename never replaces";
  EXPECT_EQ(ReadBytes(temp / "a.rar"), "new");
  EXPECT_EQ(ReadBytes(temp / "b.rar"), "old");

  EXPECT_FALSE(platform::CopyFile(temp / "missing.rar", temp / "b.rar"));
  EXPECT_EQ(ReadBytes(temp / "b.rar"), "old");
  EXPECT_FALSE(platform::CopyFile(temp / "a.rar", temp / "no folder\\a.rar"));

  std::filesystem::permissions(platform::Utf8Path(temp / "b.rar"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(platform::DeleteFile(temp / "b.rar")) << "read-only files stay";
  EXPECT_TRUE(platform::FileExists(temp / "b.rar"));
  EXPECT_FALSE(platform::DeleteFile(temp / "missing.rar"));
}

TEST(WinFiles, FoldersAreNotFilesAndTheirParentMustExist) {
  TempFolder temp;
  EXPECT_FALSE(platform::CreateFolder(temp / "torvi\\Backup")) << "no intermediate folders";
  ASSERT_TRUE(platform::CreateFolder(temp / "torvi"));
  ASSERT_TRUE(platform::CreateFolder(temp / "torvi\\Backup"));
  EXPECT_FALSE(platform::CreateFolder(temp / "TORVI\\backup\\"));
  EXPECT_FALSE(platform::FileExists(temp / "torvi\\Backup"));
}

TEST(WinFiles, CreationTimeIsTheFilesOwn) {
  TempFolder temp;
  const auto before = std::chrono::system_clock::now() - std::chrono::minutes(5);
  WriteBytes(temp / "f.bk", "x");
  const auto created = platform::FileCreationTime(temp / "f.bk");
  ASSERT_TRUE(created.has_value());
  EXPECT_GT(*created, before);
  EXPECT_LT(*created, std::chrono::system_clock::now() + std::chrono::minutes(5));
  EXPECT_FALSE(platform::FileCreationTime(temp / "gone.bk").has_value());
}

TEST(WinFiles, ExecutableFolderIsAWindowsPathEndingWithASeparator) {
  const std::string folder = platform::ExecutableFolder();
  ASSERT_GE(folder.size(), 3u);
  EXPECT_EQ(folder[1], ':');
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(platform::FileExists(folder + "win_platform_tests.exe"));
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/Exception.h"
#include "platform/FolderLock.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class FolderLockTest : public testing::Test {
 protected:
  std::string LockPath() const { return folder / "torvi-backup.lock"; }

  testsupport::TempFolder folder;
};

TEST_F(FolderLockTest, OneHolderAtATimeAndTheLockGoesWithItsHolder) {
  std::unique_ptr<platform::FolderLock> first = platform::FolderLock::TryAcquire(LockPath());
  ASSERT_TRUE(first);
  EXPECT_FALSE(platform::FolderLock::TryAcquire(LockPath()));
  first.reset();
  EXPECT_TRUE(platform::FolderLock::TryAcquire(LockPath()));
}

TEST_F(FolderLockTest, FolderThatDoesNotExistRaises) {
  EXPECT_THROW(platform::FolderLock::TryAcquire(folder / "missing/x.lock"), platform::Exception);
}

#ifndef _WIN32
TEST_F(FolderLockTest, LinkPlantedUnderTheLockNameIsNeverFollowed) {
  const fs::path target = folder.Root() / "target.txt";
  std::ofstream(target) << "keep";
  fs::create_symlink(target, LockPath());
  EXPECT_THROW(platform::FolderLock::TryAcquire(LockPath()), platform::Exception);
  std::ifstream in(target);
  std::string content;
  in >> content;
  EXPECT_EQ(content, "keep");
}
#endif

}  // namespace

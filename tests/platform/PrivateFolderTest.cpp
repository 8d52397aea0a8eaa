#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Exception.h"
#include "platform/PrivateFolder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ThrowAwayUser.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempFolder;

fs::perms Mode(const std::string& path) { return fs::symlink_status(path).permissions(); }

// Sets an environment variable for one scope and puts back what was there.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedVariable() { old_.empty() ? ::unsetenv(name_) : ::setenv(name_, old_.c_str(), 1); }

 private:
  const char* name_;
  std::string old_;
};

TEST(UserPrivateFolder, IsTorviInTheUsersDataFolder) {
  {
    const ScopedVariable data("XDG_DATA_HOME", "/srv/dados/");
    EXPECT_EQ(platform::UserPrivateFolder(), "/srv/dados/torvi/");
  }
  const ScopedVariable home("HOME", "/home/ana");
  for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/data"}) {
    const ScopedVariable data("XDG_DATA_HOME", unusable);
    EXPECT_EQ(platform::UserPrivateFolder(), "/home/ana/.local/share/torvi/")
        << (unusable ? unusable : "unset");
  }
}

TEST(MakePrivateFolder, CreatesTheFolderAndItsParentsForThisUserAlone) {
  TempFolder temp;
  const std::string folder = temp / "data/torvi/";
  platform::MakePrivateFolder(folder);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Mode(temp / "data/torvi"), fs::perms::owner_all);
  EXPECT_EQ(Mode(temp / "data"), fs::perms::owner_all);

  fs::permissions(folder, fs::perms::all);
  platform::MakePrivateFolder(folder);
  EXPECT_EQ(Mode(temp / "data/torvi"), fs::perms::owner_all) << "an own folder open to others is closed";
}

TEST(MakePrivateFolder, FolderInsideAFolderOpenToAllWithTheStickyBitIsAccepted) {
  TempFolder temp;
  fs::create_directory(temp / "shared");
  fs::permissions(temp / "shared", fs::perms::all | fs::perms::sticky_bit);
  EXPECT_NO_THROW(platform::MakePrivateFolder(temp / "shared/torvi/"));
}

TEST(MakePrivateFolder, RefusesWhatOthersCouldChange) {
  TempFolder temp;
  fs::create_directory(temp / "real");
  fs::create_symlink(temp / "real", temp / "link");
  testsupport::WriteBytes(temp / "file", "not a folder");
  fs::create_directory(temp / "open");
  fs::permissions(temp / "open", fs::perms::all);
  fs::create_directory(temp / "group");
  fs::permissions(temp / "group", fs::perms::owner_all | fs::perms::group_all);
  struct Case {
    std::string folder;
    std::string why;
  };
  for (const Case& c : {Case{temp / "link/", "a link"}, Case{temp / "file/", "a file"},
                        Case{temp / "open/torvi/", "inside a folder open to all"},
                        Case{temp / "group/torvi/", "inside a folder its group can change"}}) {
    try {
      platform::MakePrivateFolder(c.folder);
      ADD_FAILURE() << c.why << " was accepted";
    } catch (const platform::Exception& error) {
      EXPECT_NE(error.Message().find("A pasta " + c.folder.substr(0, c.folder.size() - 1)), std::string::npos)
          << error.Message();
    }
  }
}

TEST(MakePrivateFolder, RefusesAFolderOfAnotherUserOrInsideOne) {
  const testsupport::ThrowAwayUser other;
  if (!other.Made()) GTEST_SKIP() << "making a second user needs the superuser and useradd";
  TempFolder temp;
  fs::create_directories(temp / "theirs/inside");
  fs::create_directory(temp / "planted");
  fs::permissions(temp / "planted", fs::perms::owner_all);
  ASSERT_TRUE(other.Own(temp / "theirs") && other.Own(temp / "planted"));
  EXPECT_THROW(platform::MakePrivateFolder(temp / "planted/"), platform::Exception);
  EXPECT_THROW(platform::MakePrivateFolder(temp / "theirs/inside/"), platform::Exception);
  EXPECT_THROW(platform::MakePrivateFolder(temp / "theirs/new/"), platform::Exception);
}

}  // namespace

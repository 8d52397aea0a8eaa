#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/Exception.h"
#include "platform/Files.h"
#include "run/Archiver.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

std::span<const std::byte> Bytes(const std::string& text) { return std::as_bytes(std::span(text)); }

const std::string kProgram = "program bytes\0with a zero"s;

TEST(ArchiverTest, MissingArchiverIsWrittenWholeIntoANewPrivateFolder) {
  TempFolder root;
  const std::string folder = root / "data" + platform::kPathSeparator + "torvi" + platform::kPathSeparator;
  const std::string path = run::InstallArchiver(folder, Bytes(kProgram));
  EXPECT_EQ(path, folder + "winrar.exe");
  EXPECT_EQ(ReadBytes(path), kProgram);
  EXPECT_EQ(testsupport::FileNames(folder), std::vector<std::string>{"winrar.exe"}) << "no side file left";
#ifndef _WIN32
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_all);
#endif
}

TEST(ArchiverTest, AnythingButTheArchiverUnderItsNameIsReplacedAndTheSameBytesAreKept) {
  TempFolder root;
  const std::string folder = root / "private" + platform::kPathSeparator;
  const std::string path = folder + "winrar.exe";
  fs::create_directory(folder);
  for (const std::string& existing : {std::string(), std::string("not an archiver"), kProgram + "tail"}) {
    WriteBytes(path, existing);
    EXPECT_EQ(run::InstallArchiver(folder, Bytes(kProgram)), path);
    EXPECT_EQ(ReadBytes(path), kProgram) << existing;
  }
#ifndef _WIN32
  const auto inode = [&path] {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
  };
  const auto before = inode();
  run::InstallArchiver(folder, Bytes(kProgram));
  EXPECT_EQ(inode(), before) << "an archiver with the right bytes is not written again";

  WriteBytes(root / "elsewhere", "not to be touched");
  fs::remove(path);
  fs::create_symlink(root / "elsewhere", path);
  run::InstallArchiver(folder, Bytes(kProgram));
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(ReadBytes(path), kProgram);
  EXPECT_EQ(ReadBytes(root / "elsewhere"), "not to be touched");
#endif
}

TEST(ArchiverTest, ArchiverThatCannotBeWrittenRaisesAndLeavesNothing) {
  TempFolder root;
  WriteBytes(root / "file", "a file where the folder should be");
  EXPECT_THROW(run::InstallArchiver(root / "file" + platform::kPathSeparator, Bytes(kProgram)),
               platform::Exception);
  EXPECT_THROW(run::InstallArchiver(root / "private" + platform::kPathSeparator, {}), platform::Exception)
      << "a build without an archiver";
  EXPECT_EQ(testsupport::FileNames(root.Root()), std::vector<std::string>{"file"});
}

TEST(ArchiverTest, CommandLineQuotesOnlyAnArchiverPathWithBlanks) {
  run::RunNames names;
  names.workFolder = std::string("W") + platform::kPathSeparator;
  names.archiveName = "bkp08122026210728.rar";
  names.localBackupPath = names.workFolder + "bkp08122026210728.bk";
  const std::string separator(1, platform::kPathSeparator);
  const std::string arguments =
      " a -ep -ibck W" + separator + "bkp08122026210728.rar W" + separator + "bkp08122026210728.bk";
  const std::string plain = "P" + separator + "winrar.exe";
  EXPECT_EQ(run::ArchiverCommandLine(plain, names), plain + arguments);
  const std::string blanks = "Ana Maria" + separator + "winrar.exe";
  EXPECT_EQ(run::ArchiverCommandLine(blanks, names), "\"" + blanks + "\"" + arguments);
  // The password goes to the archiver's standard input; the line only says to read it.
  EXPECT_EQ(run::ArchiverCommandLine(plain, names, run::ArchiveEncryption::Data),
            plain + " a -ep -ibck -p" + arguments.substr(12));
  EXPECT_EQ(run::ArchiverCommandLine(plain, names, run::ArchiveEncryption::DataAndNames),
            plain + " a -ep -ibck -hp" + arguments.substr(12));
}

}  // namespace

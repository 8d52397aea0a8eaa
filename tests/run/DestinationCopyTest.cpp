#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "run/DestinationCopy.h"
#include "tests/run/DeliveryHarness.h"
#include "tests/support/SmallVolume.h"
#include "tests/support/TempFolder.h"

namespace {

using deliverytest::DeliveryHarness;
using deliverytest::kArchiveName;
using testsupport::FileNames;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
namespace fs = std::filesystem;

const std::string kCopiedLog = " - Arquivo compactado Criado!";
const std::string kQuestion =
    "teste|Não foi possível criar o arquivo \rcompactado no destino {D}.\rVerifique se existe esta pasta, "
    "ou se \ro CD está preparado para gravação.\r\rOK para tentar novamente, Cancelar para abortar cópia "
    "de Segurança.";

// Files created one after another, so that their creation times follow the order of the list.
void CreateInOrder(const fs::path& folder, const std::vector<std::string>& names, const std::string& bytes) {
  for (const std::string& name : names) {
    WriteBytes(folder / name, bytes);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

class DestinationCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(destination());
    harness.settings.CheckDestino = true;
    harness.settings.EdtDestino = destination().string() + platform::kPathSeparator;
    harness.Archive(archive);
  }
  fs::path destination() const { return harness.Folder() / "destino"; }

  DeliveryHarness harness;
  std::string archive = std::string(3000, 'a') + "archive";
};

TEST_F(DestinationCopyTest, RoomEnoughCopiesOnceAndLeavesEverythingElse) {
  CreateInOrder(destination(), {"bkp01012020000000.rar", "notes.txt"}, "old");
  WriteBytes(destination() / "teste123.txt", "left by someone");
  run::DestinationCopy stage;

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(ReadBytes(destination() / kArchiveName), archive);
  EXPECT_EQ(FileNames(destination()),
            (std::vector<std::string>{"bkp01012020000000.rar", kArchiveName, "notes.txt"}));
  EXPECT_EQ(harness.LogMessages(), std::vector<std::string>{kCopiedLog});
  EXPECT_EQ(harness.window.console, std::vector<std::string>{"Arquivo " + harness.settings.EdtDestino +
                                                             kArchiveName + " Criado com Sucesso!"});
  EXPECT_TRUE(harness.window.questions.empty());
}

TEST_F(DestinationCopyTest, EmptyFolderSettingCopiesNothingAnywhere) {
  harness.settings.EdtDestino = "";
  run::DestinationCopy stage;

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::NotDelivered);

  EXPECT_EQ(harness.LogMessages(),
            std::vector<std::string>{" - Pasta de destino não informada. Nada foi copiado para o destino."});
  EXPECT_FALSE(std::filesystem::exists(kArchiveName));
  EXPECT_TRUE(harness.window.questions.empty());
}

TEST_F(DestinationCopyTest, MissingDestinationAsksUntilCancelled) {
  harness.settings.EdtDestino = (harness.Folder() / "nowhere").string() + platform::kPathSeparator;
  harness.window.answers = {run::RetryAnswer::Ok, run::RetryAnswer::Ok};
  run::DestinationCopy stage;

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::NotDelivered);

  const std::string cannotWrite =
      " - Não é possível criar arquivos no destino." + harness.settings.EdtDestino;
  EXPECT_EQ(harness.LogMessages(),
            (std::vector<std::string>{cannotWrite, cannotWrite, cannotWrite,
                                      " - Cópia de segurança cancelada pelo Usuário."}));
  std::string question = kQuestion;
  question.replace(question.find("{D}"), 3, harness.settings.EdtDestino);
  EXPECT_EQ(harness.window.questions, std::vector<std::string>(3, question));
  EXPECT_TRUE(harness.window.console.empty());
}

TEST_F(DestinationCopyTest, FolderWithoutClosingSeparatorIsGluedToTheNames) {
  harness.settings.EdtDestino = destination().string();
  run::DestinationCopy stage;

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(ReadBytes(destination().string() + kArchiveName), archive);
  EXPECT_FALSE(fs::exists(destination().string() + "teste123.txt"));
  EXPECT_TRUE(FileNames(destination()).empty());
}

// A copy that fails (as on a full medium) until `successAfter` calls, keeping what the destination held
// at each call.
struct FailingCopy {
  int successAfter;
  fs::path folder;
  std::vector<std::vector<std::string>> seen;
  bool operator()(const std::string& from, const std::string& to) {
    seen.push_back(FileNames(folder));
    return static_cast<int>(seen.size()) > successAfter && platform::CopyFile(from, to);
  }
};

TEST_F(DestinationCopyTest, FullDestinationLosesItsOldestArchiveByCreationTimeFirst) {
  // Created oldest first; the names say otherwise.
  CreateInOrder(destination(),
                {"bkp03012020000000.rar", "old.txt", "BKP01012020000000.RAR", "bkp02012020000000.rar"},
                "old");
  FailingCopy copy{1, destination(), {}};
  run::DestinationCopy stage(
      [&copy](const std::string& from, const std::string& to) { return copy(from, to); });

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(copy.seen.size(), 3u);  // the failed copy, the copy after making room, the copy after the probe
  EXPECT_EQ(
      FileNames(destination()),
      (std::vector<std::string>{"BKP01012020000000.RAR", "bkp02012020000000.rar", kArchiveName, "old.txt"}));
  EXPECT_EQ(ReadBytes(destination() / kArchiveName), archive);
  EXPECT_EQ(harness.LogMessages(), std::vector<std::string>{kCopiedLog});
}

TEST_F(DestinationCopyTest, CopyThatNeverSucceedsStopsOnceNothingIsLeftToDelete) {
  CreateInOrder(destination(), {"bkp02012020000000.rar", "keep.txt", "bkp01012020000000.rar"}, "old");
  fs::create_directory(destination() / "bkfolder.rar");
  FailingCopy copy{1000, destination(), {}};
  run::DestinationCopy stage(
      [&copy](const std::string& from, const std::string& to) { return copy(from, to); });

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::NotDelivered);

  ASSERT_GE(copy.seen.size(), 3u);
  EXPECT_EQ(copy.seen[1], (std::vector<std::string>{"bkfolder.rar", "bkp01012020000000.rar", "keep.txt"}));
  EXPECT_EQ(FileNames(destination()), (std::vector<std::string>{"bkfolder.rar", "keep.txt"}));
  EXPECT_EQ(harness.LogMessages(),
            std::vector<std::string>{" - Não há espaço no destino para o arquivo compactado."});
  EXPECT_TRUE(harness.window.console.empty());
}

#ifndef _WIN32
TEST_F(DestinationCopyTest, ArchiveWhoseTimeCannotBeReadIsLeftOutOfTheOldestChoice) {
  // Listed, but gone by the time its creation time is looked up: a link to nothing shows the same.
  fs::create_symlink(harness.Folder() / "gone.rar", destination() / "bk0.rar");
  CreateInOrder(destination(), {"bkp01012020000000.rar", "bkp02012020000000.rar"}, "old");
  FailingCopy copy{1, destination(), {}};
  run::DestinationCopy stage(
      [&copy](const std::string& from, const std::string& to) { return copy(from, to); });

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(FileNames(destination()),
            (std::vector<std::string>{"bk0.rar", "bkp02012020000000.rar", kArchiveName}));
}
#endif

TEST_F(DestinationCopyTest, MissingLocalArchiveDeletesNothing) {
  fs::remove(harness.Work() + kArchiveName);
  CreateInOrder(destination(), {"bkp01012020000000.rar", "bkp02012020000000.rar"}, "old");
  run::DestinationCopy stage;

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::NotDelivered);

  EXPECT_EQ(FileNames(destination()),
            (std::vector<std::string>{"bkp01012020000000.rar", "bkp02012020000000.rar"}));
  EXPECT_EQ(
      harness.LogMessages(),
      std::vector<std::string>{" - Arquivo compactado não encontrado. Nada foi copiado para o destino."});
}

TEST_F(DestinationCopyTest, FullVolumeMakesRoomByOldestCreationTime) {
  const fs::path volumeFolder = harness.Folder() / "volume";
  testsupport::SmallVolume volume(volumeFolder, "64k");
  if (!volume.Mounted()) GTEST_SKIP() << "a small volume cannot be mounted here";
  harness.settings.EdtDestino = volumeFolder.string() + platform::kPathSeparator;
  // Three earlier archives of 20 KiB and a small file fill the 64 KiB; the new one of 16 KiB fits once
  // one archive is gone.
  CreateInOrder(volumeFolder, {"bkp09012020000000.rar", "bkp07012020000000.rar", "bkp08012020000000.rar"},
                std::string(20 * 1024, 'o'));
  WriteBytes(volumeFolder / "leia.txt", "x");
  archive = std::string(16 * 1024, 'n');
  harness.Archive(archive);
  run::DestinationCopy stage;

  EXPECT_EQ(harness.Perform(stage), run::DeliveryOutcome::Delivered);

  EXPECT_EQ(
      FileNames(volumeFolder),
      (std::vector<std::string>{"bkp07012020000000.rar", "bkp08012020000000.rar", kArchiveName, "leia.txt"}));
  EXPECT_EQ(ReadBytes(volumeFolder / kArchiveName), archive);
  EXPECT_EQ(harness.LogMessages(), std::vector<std::string>{kCopiedLog});
}

}  // namespace

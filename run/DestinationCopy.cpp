#include "run/DestinationCopy.h"

#include <chrono>
#include <fstream>
#include <optional>
#include <string_view>

#include "platform/Files.h"
#include "platform/Utf8Path.h"
#include "run/RunTexts.h"

namespace run {
namespace {

constexpr std::string_view kProbeFileName = "teste123.txt";
constexpr std::string_view kCandidateMask = "bk*.rar";
constexpr std::string_view kLogNoDestinationFolder =
    " - Pasta de destino não informada. Nada foi copiado para o destino.";
constexpr std::string_view kLogNoArchiveToCopy =
    " - Arquivo compactado não encontrado. Nada foi copiado para o destino.";
constexpr std::string_view kLogNoRoom = " - Não há espaço no destino para o arquivo compactado.";

// Creates the probe as a new empty file and closes it; false when either fails.
bool CreateProbe(const std::string& path) {
  std::ofstream probe(platform::Utf8Path(path), std::ios::binary | std::ios::trunc);
  if (!probe.is_open()) return false;
  probe.close();
  return !probe.fail();
}

// The "bk*.rar" of the destination with the oldest creation time; of equal times the first listed.
// Entries gone before their time could be read are left out.
std::optional<std::string> OldestCandidate(const std::string& folder) {
  std::optional<std::string> oldest;
  std::chrono::system_clock::time_point oldestTime;
  for (const platform::FoundEntry& entry : platform::FindFiles(folder + std::string(kCandidateMask))) {
    if (entry.isFolder) continue;
    const std::string path = folder + entry.name;
    const auto created = platform::FileCreationTime(path);
    if (created && (!oldest || *created < oldestTime)) {
      oldest = path;
      oldestTime = *created;
    }
  }
  return oldest;
}

}  // namespace

std::string DestinationQuestion(const std::string& folder) {
  return "Não foi possível criar o arquivo \rcompactado no destino " + folder +
         ".\rVerifique se existe esta pasta, ou se \ro CD está preparado para gravação.\r\r"
         "OK para tentar novamente, Cancelar para abortar cópia de Segurança.";
}

DestinationCopy::DestinationCopy() : copy_(platform::CopyFile) {}

DestinationCopy::DestinationCopy(CopyFunction copy) : copy_(std::move(copy)) {}

DeliveryOutcome DestinationCopy::Perform(RunContext& context) {
  const std::string& folder = context.settings.EdtDestino;
  const std::string& localArchive = context.names.localArchivePath;
  const std::string target = folder + context.names.archiveName;
  const std::string probe = folder + std::string(kProbeFileName);
  bool copied = false;
  // An empty folder would make every name relative to wherever the program happens to run.
  if (folder.empty()) {
    context.log.WriteStamped(kLogNoDestinationFolder);
    return DeliveryOutcome::NotDelivered;
  }

  for (;;) {
    // Making room deletes one earlier archive per pass. It stops where it cannot help: with no archive
    // of ours to copy, or with nothing left to delete while the copy still leaves no archive.
    bool triedToMakeRoom = false;
    bool madeRoom = false;
    if (copied) {
      if (!platform::FileExists(localArchive)) {
        context.log.WriteStamped(kLogNoArchiveToCopy);
        return DeliveryOutcome::NotDelivered;
      }
      triedToMakeRoom = true;
      if (const auto oldest = OldestCandidate(folder)) madeRoom = platform::DeleteFile(*oldest);
      copy_(localArchive, target);
    }

    platform::DeleteFile(probe);
    const bool probed = CreateProbe(probe);
    if (probed) {
      platform::DeleteFile(probe);
      copy_(localArchive, target);
      copied = true;
    } else {
      context.log.WriteStamped(std::string(texts::kLogCannotWriteDestination) + folder);
      if (context.window.AskRetry(kDestinationQuestionCaption, DestinationQuestion(folder)) ==
          RetryAnswer::Cancel) {
        context.log.WriteStamped(texts::kLogDestinationCancelled);
        break;
      }
    }

    if (platform::FileExists(target)) break;
    if (probed && triedToMakeRoom && !madeRoom) {
      context.log.WriteStamped(kLogNoRoom);
      return DeliveryOutcome::NotDelivered;
    }
  }

  if (!platform::FileExists(target)) return DeliveryOutcome::NotDelivered;
  context.log.WriteStamped(texts::kLogArchiveCopied);
  context.console.AppendPlain(std::string(texts::kConsoleArchiveCopiedBefore) + folder +
                              context.names.archiveName + std::string(texts::kConsoleArchiveCopiedAfter));
  context.window.ProcessMessages();
  return DeliveryOutcome::Delivered;
}

}  // namespace run

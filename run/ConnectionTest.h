#pragma once

#include <cstddef>
#include <ostream>
#include <span>
#include <string>

#include "app/BackupSettings.h"
#include "ftp/FTP.h"
#include "run/RunWindow.h"

namespace run {

inline constexpr char kConnectionOk[] = "Conexão OK!";
inline constexpr char kConnectionProblems[] = "Problemas com a Conexão.";
inline constexpr char kConnectionTestRemoteName[] = "winrar";

// What the connection test works with: the settings as they stand, the window's FTP client and the
// window, and the working folder (with its closing separator) where the archiver file is the payload.
struct ConnectionTestSetup {
  const app::BackupSettings& settings;
  ftp::TIdFTP& IdFTP1;
  RunWindow& window;
  std::string workFolder;
  std::span<const std::byte> archiver;  // written as the payload when the working folder lacks it
};

// "Testar Conexão": creates the working folder as a run does, logs in, enters EdtPastaFTP as the delivery
// does, lists, uploads the archiver as "winrar", deletes it and closes, then shows "Conexão OK!"; any
// failure of those shows "Problemas com a Conexão." instead. Returns whether the connection was good.
// Writing the archiver is not guarded: when it cannot be written its error leaves here before any FTP
// activity.
bool BtnTestaConexaoClick(const ConnectionTestSetup& setup);

// The connection test with no desktop: a client of its own, this build's archiver, the messages on
// `errors` (as is an error that ends the test early). Returns whether the connection was good.
bool TestConnectionHeadless(const app::BackupSettings& settings, const std::string& workFolder,
                            std::ostream& errors);

}  // namespace run

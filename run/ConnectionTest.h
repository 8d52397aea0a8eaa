#pragma once

#include <cstddef>
#include <functional>
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

// Asked when the server's certificate does not verify and matches no pin: true trusts it (the asker has
// pinned its fingerprint in the settings), and the test runs once more with the pin.
using CertificateTrust = std::function<bool(const ftp::TIdCertificateInfo& certificate)>;

// What the connection test works with: the settings as they stand, the window's FTP client and the
// window, the working folder, and the user's private folder (both with their closing separator) where
// the archiver file, the payload, is put as for a run.
struct ConnectionTestSetup {
  const app::BackupSettings& settings;
  ftp::TIdFTP& IdFTP1;
  RunWindow& window;
  std::string workFolder;
  std::string privateFolder;
  std::span<const std::byte> archiver;
  CertificateTrust trustCertificate = {};  // empty: a certificate that does not verify fails the test
};

// "Testar Conexão": puts the archiver in the private folder as a run does, logs in, enters EdtPastaFTP as
// the delivery does, lists, uploads the archiver as "winrar", deletes it and closes, then shows "Conexão
// OK!"; any failure of those shows "Problemas com a Conexão." instead. Returns whether the connection was
// good. Putting the archiver in place is not guarded: when the private folder cannot be made or written its
// error leaves here before any FTP activity.
bool BtnTestaConexaoClick(const ConnectionTestSetup& setup);

// The connection test with no desktop: a client of its own, this build's archiver, the messages on
// `errors` (as is an error that ends the test early). Returns whether the connection was good.
bool TestConnectionHeadless(const app::BackupSettings& settings, const std::string& workFolder,
                            std::ostream& errors, const CertificateTrust& trustCertificate = {});

}  // namespace run

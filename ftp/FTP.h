#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ftp/IOHandlerTLS.h"
#include "ftp/RFCReply.h"
#include "ftp/SimpleServer.h"
#include "ftp/Stream.h"
#include "ftp/TCPClient.h"

namespace ftp {

// The read timeout the program gives its FTP client: a silent server fails the attempt after two
// minutes instead of stalling an unattended run for ever.
inline constexpr int kProgramReadTimeout = 120000;
// The low-speed floor the program gives its transfers: at least 1 KiB/s over every 120 s. Any working
// link moves far more; a server that trickles fails the attempt after two minutes.
inline constexpr int kProgramLowSpeedLimit = 1024;
inline constexpr int kProgramLowSpeedTime = 120;

// Replies by which a server says it does not know or does not carry out a command (unrecognised, not
// implemented, not implemented for that parameter).
inline bool IsUnknownCommandReply(int code) { return code == 500 || code == 502 || code == 504; }

enum class TIdFTPTransferType { ftASCII, ftBinary };

// Clear text; TLS asked for with AUTH TLS after the greeting (explicit); TLS from the first byte, as on
// port 990 (implicit).
enum class TIdUseTLS { utNoTLSSupport, utUseExplicitTLS, utUseImplicitTLS };

enum class TIdFtpProxyType {
  fpcmNone,
  fpcmUserSite,
  fpcmSite,
  fpcmOpen,
  fpcmUserPass,
  fpcmTransparent,
  fpcmHttpProxyWithFtp
};

struct TIdFtpProxySettings {
  TIdFtpProxyType ProxyType = TIdFtpProxyType::fpcmNone;
  std::string Host;
  std::string UserName;
  std::string Password;
  int Port = 0;
};

// FTP client over one control connection; listings and uploads each open their own data connection,
// passive (we connect to the server) or active (the server connects to us).
class TIdFTP : public TIdTCPClient {
 public:
  TIdFTP();
  ~TIdFTP() override;

  std::string Username;
  std::string Password;
  bool Passive = false;
  // With TLS the control connection and every data connection are encrypted (PBSZ 0, PROT P) and the
  // server's certificate must verify against the system's roots (plus TrustedCAFile's, when set) for
  // Host, or match PinnedFingerprint (SHA-256, in any form CanonicalFingerprint accepts).
  TIdUseTLS UseTLS = TIdUseTLS::utNoTLSSupport;
  std::string PinnedFingerprint;
  std::string TrustedCAFile;
  TIdFtpProxySettings ProxySettings;
  TNotifyEvent OnAfterClientLogin;
  // A listing is kept in memory whole: more bytes or lines than these fail it (0: no limit). A Unix
  // server's line is some 60 to 80 bytes, so 100000 entries fit in 8 MiB.
  std::int64_t MaxListingSize = 8388608;
  int MaxListingLines = 100000;

  TIdFTPTransferType TransferType() const { return transferType_; }
  // Sent at once when connected and no transfer runs; ignored during a transfer.
  void SetTransferType(TIdFTPTransferType type);
  const TIdRFCReply& LoginReply() const { return loginReply_; }
  const std::string& ServerSystem() const { return serverSystem_; }
  const std::vector<std::string>& LastListing() const { return lastListing_; }
  // The certificate the server showed on the latest TLS connection (empty when none).
  TIdCertificateInfo ServerCertificate() const;
  // The data connection while a transfer runs, else null.
  TIdTCPConnection* DataConnection() const { return dataConnection_.get(); }

  // Connects, reads the 220 greeting and, with autoLogin, logs in and sends TYPE and SYST. Any failure
  // closes the connection before it passes on.
  void ConnectAndLogin(bool autoLogin = true, int timeout = WaitDefault);
  void SendLogin();
  void CreateFolder(const std::string& name);
  void EnterFolder(const std::string& name);
  void DeleteRemoteFile(const std::string& name);
  // RNFR then RNTO.
  void RenameFile(const std::string& from, const std::string& to);
  // The size in bytes the server gives for `name` (SIZE), or -1 when it does not know the command or its
  // reply holds no number.
  std::int64_t FileSize(const std::string& name);
  void SendTypeCommand();
  void AbortTransfer();

  // LIST (details) or NLST with the mask; the lines replace `destination` (when given) and LastListing.
  void ListFolder(std::vector<std::string>* destination, const std::string& mask, bool details);
  void UploadFile(const std::string& localName, const std::string& remoteName, bool append = false);
  void UploadStream(TStream& source, const std::string& remoteName, bool append = false);
  void ReceiveData(const std::string& command, TStream& target, bool resume);
  void SendData(const std::string& command, TStream& source);
  // PASV: the data address to connect to, which is always the control connection's peer.
  std::pair<std::string, int> RequestPassive();
  void AnnouncePort(const TIdSocketHandle& listening);

 private:
  void UserLogin(const std::string& user, const std::string& password);
  void NegotiateTLS();
  // The handshake on the control connection's socket or, with `data`, on the data connection's.
  void StartTLS(bool data);
  TIdSocketHandle& ControlBinding() const;
  TIdTCPClient& OpenPassiveDataClient(const std::string& host, int port);
  TIdSimpleServer& ListenForDataConnection();
  template <typename DataConnection>
  DataConnection& NewDataConnection();
  void EndTransfer();
  void SendRestart(const TStream& stream);

  TIdFTPTransferType transferType_ = TIdFTPTransferType::ftBinary;
  TIdRFCReply loginReply_;
  std::string serverSystem_;
  std::vector<std::string> lastListing_;
  std::shared_ptr<TIdTLSContext> tls_;
  // Declared before the data connection, which closes through it.
  std::unique_ptr<TIdIOHandlerTLS> dataTls_;
  std::unique_ptr<TIdTCPConnection> dataConnection_;
};

}  // namespace ftp

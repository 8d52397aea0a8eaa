#include "ftp/FTP.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "ftp/Exceptions.h"

namespace ftp {

TIdFTP::TIdFTP() { Port = 21; }

TIdFTP::~TIdFTP() = default;

void TIdFTP::SetTransferType(TIdFTPTransferType type) {
  if (dataConnection_) return;
  const bool changed = type != transferType_;
  transferType_ = type;
  if (changed && IsConnected()) SendTypeCommand();
}

void TIdFTP::ConnectAndLogin(bool autoLogin, int timeout) {
  try {
    const std::string keptHost = Host;
    const int keptPort = Port;
    if (ProxySettings.ProxyType != TIdFtpProxyType::fpcmNone && !ProxySettings.Host.empty()) {
      Host = ProxySettings.Host;
      Port = ProxySettings.Port;
    }
    tls_.reset();
    if (UseTLS != TIdUseTLS::utNoTLSSupport && (IOHandler() == nullptr || !IOHandler()->IsOpen())) {
      tls_ = std::make_shared<TIdTLSContext>(Host, PinnedFingerprint, TrustedCAFile);
      auto handler = std::make_unique<TIdIOHandlerTLS>(tls_);
      handler->OnStatus = OnStatus;
      AdoptHandler(std::move(handler));
    }
    try {
      OpenConnection(timeout);
    } catch (...) {
      Host = keptHost;
      Port = keptPort;
      throw;
    }
    Host = keptHost;
    Port = keptPort;
    if (UseTLS == TIdUseTLS::utUseImplicitTLS) StartTLS(false);
    AwaitReply({220});
    WelcomeReply = LastReply;
    if (UseTLS != TIdUseTLS::utNoTLSSupport) NegotiateTLS();
    if (!autoLogin) return;
    SendLogin();
    if (OnAfterClientLogin) OnAfterClientLogin(*this);
    SendTypeCommand();
    const int code = SendCommand("SYST", {200, 215, 500});
    serverSystem_ = code == 500 ? "Unknown" : LastReply.Text.empty() ? std::string() : LastReply.Text.front();
    ReportStatus(TIdStatus::ftpReady, "Connection established");
  } catch (...) {
    CloseConnection();
    throw;
  }
}

TIdCertificateInfo TIdFTP::ServerCertificate() const {
  return tls_ ? tls_->ServerCertificate() : TIdCertificateInfo{};
}

void TIdFTP::StartTLS(bool data) {
  TIdIOHandlerTLS::Clock::time_point deadline = Deadline;
  if (ReadTimeout > 0) deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(ReadTimeout));
  if (data) {
    dataTls_->StartTLS(deadline, true);
  } else {
    static_cast<TIdIOHandlerTLS*>(IOHandler())->StartTLS(deadline, false);
  }
}

void TIdFTP::NegotiateTLS() {
  if (UseTLS == TIdUseTLS::utUseExplicitTLS) {
    WriteLine("AUTH TLS");
    ReadReply();
    // Anything but 234 ends here: the login never goes out in clear text.
    if (LastReply.NumericCode != 234) throw EIdTLSRefused(LastReply.NumericCode, LastReply.FormattedText());
    StartTLS(false);
  }
  SendCommand("PBSZ 0", {200});
  SendCommand("PROT P", {200});
}

void TIdFTP::UserLogin(const std::string& user, const std::string& password) {
  if (SendCommand("USER " + user, {230, 331}) == 331) SendCommand("PASS " + password, {230});
}

void TIdFTP::SendLogin() {
  const TIdFtpProxySettings& proxy = ProxySettings;
  auto proxyLogin = [&] {
    if (!proxy.UserName.empty()) UserLogin(proxy.UserName, proxy.Password);
  };
  switch (proxy.ProxyType) {
    case TIdFtpProxyType::fpcmNone:
      UserLogin(Username, Password);
      break;
    case TIdFtpProxyType::fpcmUserSite:
      proxyLogin();
      UserLogin(Username + "@" + Host, Password);
      break;
    case TIdFtpProxyType::fpcmSite:
      proxyLogin();
      SendCommand("SITE " + Host, -1);
      UserLogin(Username, Password);
      break;
    case TIdFtpProxyType::fpcmOpen:
      proxyLogin();
      SendCommand("OPEN " + Host, -1);
      UserLogin(Username, Password);
      break;
    case TIdFtpProxyType::fpcmUserPass:
      UserLogin(Username + "@" + proxy.UserName + "@" + Host,
                proxy.Password.empty() ? Password : Password + "@" + proxy.Password);
      break;
    case TIdFtpProxyType::fpcmTransparent:
      proxyLogin();
      UserLogin(Username, Password);
      break;
    case TIdFtpProxyType::fpcmHttpProxyWithFtp:
      throw EIdException("Command not supported.");
  }
  loginReply_ = LastReply;
}

void TIdFTP::CreateFolder(const std::string& name) { SendCommand("MKD " + name, {257}); }

void TIdFTP::EnterFolder(const std::string& name) { SendCommand("CWD " + name, {200, 250}); }

void TIdFTP::DeleteRemoteFile(const std::string& name) { SendCommand("DELE " + name, {250}); }

void TIdFTP::RenameFile(const std::string& from, const std::string& to) {
  SendCommand("RNFR " + from, {350});
  SendCommand("RNTO " + to, {250});
}

std::int64_t TIdFTP::FileSize(const std::string& name) {
  try {
    SendCommand("SIZE " + name, {213});
  } catch (const EIdProtocolReplyError& error) {
    if (IsUnknownCommandReply(error.ReplyCode())) return -1;
    throw;
  }
  const std::string text = LastReply.Text.empty() ? std::string() : LastReply.Text.front();
  std::int64_t size = -1;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), size);
  return failure == std::errc() && end == text.data() + text.size() && size >= 0 ? size : -1;
}

void TIdFTP::SendTypeCommand() {
  SendCommand(std::string("TYPE ") + (transferType_ == TIdFTPTransferType::ftASCII ? "A" : "I"), {200});
}

void TIdFTP::AbortTransfer() {
  if (IsConnected()) WriteLine("ABOR");
  if (dataConnection_) dataConnection_->CloseSocketOnly();
}

}  // namespace ftp

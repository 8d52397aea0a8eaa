#include <string_view>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "ftp/PassiveReply.h"
#include "ftp/Text.h"
#include "platform/Sockets.h"

namespace ftp {
namespace {

constexpr int kHighestPort = 65535;

// Lines end at CR LF, LF or CR; text after the last break is a line; a NUL ends the text. More than
// `maximumLines` lines (0: no limit) raise EIdListingTooLarge.
std::vector<std::string> SplitListing(std::string_view text, int maximumLines) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    if (maximumLines > 0 && lines.size() == static_cast<std::size_t>(maximumLines)) {
      throw EIdListingTooLarge(maximumLines, "linhas");
    }
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

// A listing as it arrives, refused once it grows past its limit (0: no limit).
class ListingStream final : public TStream {
 public:
  explicit ListingStream(std::int64_t limit) : limit_(limit) {}
  const std::string& Bytes() const { return bytes_.Bytes(); }

  std::size_t Read(char* buffer, std::size_t count) override { return bytes_.Read(buffer, count); }
  void Write(const char* bytes, std::size_t count) override {
    if (limit_ > 0 && bytes_.Position() + static_cast<std::int64_t>(count) > limit_) {
      throw EIdListingTooLarge(limit_, "bytes");
    }
    bytes_.Write(bytes, count);
  }
  std::int64_t Position() const override { return bytes_.Position(); }
  void SetPosition(std::int64_t position) override { bytes_.SetPosition(position); }
  std::int64_t Size() const override { return bytes_.Size(); }
  void SetSize(std::int64_t size) override { bytes_.SetSize(size); }

 private:
  TMemoryStream bytes_;
  std::int64_t limit_;
};

}  // namespace

TIdSocketHandle& TIdFTP::ControlBinding() const {
  auto* handler = dynamic_cast<TIdIOHandlerSocket*>(IOHandler());
  if (handler == nullptr || handler->SocketHandle() == nullptr) throw EIdNotConnected();
  return *handler->SocketHandle();
}

std::pair<std::string, int> TIdFTP::RequestPassive() {
  SendCommand("PASV", {227});
  const TIdPassiveTarget target =
      ParsePassiveReply(LastReply.Text.empty() ? std::string() : LastReply.Text.front());
  if (target.Port < 1 || target.Port > kHighestPort)
    throw EIdProtocolReplyError(227, LastReply.FormattedText());
  // The data connection goes to the server we are talking to, whatever address the reply names: a
  // server must not be able to send us to another host.
  return {ControlBinding().RemoteIP, static_cast<int>(target.Port)};
}

void TIdFTP::AnnouncePort(const TIdSocketHandle& listening) {
  std::string address = listening.IP;
  for (char& c : address) {
    if (c == '.') c = ',';
  }
  SendCommand("PORT " + address + "," + std::to_string(listening.Port / 256) + "," +
                  std::to_string(listening.Port % 256),
              {200});
}

template <typename DataConnection>
DataConnection& TIdFTP::NewDataConnection() {
  dataConnection_.reset();
  auto connection = std::make_unique<DataConnection>();
  connection->SendBufferSize = SendBufferSize;
  connection->RecvBufferSize = RecvBufferSize;
  // The read timeout goes along too, so a silent data connection ends like a silent control connection.
  connection->ReadTimeout = ReadTimeout;
  // So do the bounds against a peer that trickles or never ends.
  connection->LowSpeedLimit = LowSpeedLimit;
  connection->LowSpeedTime = LowSpeedTime;
  connection->Deadline = Deadline;
  connection->OnWork = OnWork;
  connection->OnWorkBegin = OnWorkBegin;
  connection->OnWorkEnd = OnWorkEnd;
  if (tls_) {
    dataTls_ = std::make_unique<TIdIOHandlerTLS>(tls_);
    dataTls_->OpenHandler();
    connection->SetIOHandler(dataTls_.get());
  }
  DataConnection& created = *connection;
  dataConnection_ = std::move(connection);
  return created;
}

TIdTCPClient& TIdFTP::OpenPassiveDataClient(const std::string& host, int port) {
  TIdTCPClient& client = NewDataConnection<TIdTCPClient>();
  client.Host = host;
  client.Port = port;
  client.OpenConnection(WaitDefault);
  return client;
}

TIdSimpleServer& TIdFTP::ListenForDataConnection() {
  TIdSimpleServer& server = NewDataConnection<TIdSimpleServer>();
  server.BoundIP = ControlBinding().IP;
  server.StartListening();
  AnnouncePort(server.Binding());
  return server;
}

void TIdFTP::SendRestart(const TStream& stream) {
  SendCommand("REST " + std::to_string(stream.Position()), {350});
}

void TIdFTP::EndTransfer() {
  dataConnection_.reset();
  dataTls_.reset();
  ReportStatus(TIdStatus::ftpReady, "Transfer complete");
}

void TIdFTP::ReceiveData(const std::string& command, TStream& target, bool resume) {
  ReportStatus(TIdStatus::ftpTransfer, "Starting FTP transfer");
  try {
    if (Passive) {
      const auto [host, port] = RequestPassive();
      TIdTCPClient& client = OpenPassiveDataClient(host, port);
      if (resume) SendRestart(target);
      WriteLine(command);
      AwaitReply({125, 150, 154});
      if (tls_) StartTLS(true);
      client.ReceiveStream(target, -1, true);
    } else {
      TIdSimpleServer& server = ListenForDataConnection();
      if (resume) SendRestart(target);
      SendCommand(command, {125, 150, 154});
      server.AcceptPeer();
      if (tls_) StartTLS(true);
      server.ReceiveStream(target, -1, true);
    }
  } catch (...) {
    EndTransfer();
    throw;
  }
  EndTransfer();
  const int code = AwaitReply({225, 226, 250, 426, 450});
  if (code == 426 || code == 450) {
    AwaitReply({226, 225});
    ReportStatus(TIdStatus::ftpAborted, "Transfer aborted");
  }
}

void TIdFTP::SendData(const std::string& command, TStream& source) {
  ReportStatus(TIdStatus::ftpTransfer, "Starting FTP transfer");
  try {
    if (Passive) {
      const auto [host, port] = RequestPassive();
      WriteLine(command);
      TIdTCPClient& client = OpenPassiveDataClient(host, port);
      AwaitReply({110, 125, 150});
      if (tls_) StartTLS(true);
      try {
        client.SendStream(source, false, 0, false);
      } catch (const EIdSocketError& error) {
        if (error.ErrorCode() != platform::kSocketNotASocket) throw;
      }
    } else {
      TIdSimpleServer& server = ListenForDataConnection();
      SendCommand(command, {125, 150});
      server.AcceptPeer();
      if (tls_) StartTLS(true);
      server.SendStream(source, true, 0, false);
    }
  } catch (...) {
    EndTransfer();
    throw;
  }
  EndTransfer();
  // An upload the server reports as broken off has failed, whatever it says next.
  const int code = AwaitReply({225, 226, 250, 426, 450});
  if (code == 426 || code == 450) throw EIdProtocolReplyError(code, LastReply.FormattedText());
}

void TIdFTP::ListFolder(std::vector<std::string>* destination, const std::string& mask, bool details) {
  const std::string command = Trim((details ? "LIST " : "NLST ") + mask);
  ListingStream listing(MaxListingSize);
  ReceiveData(command, listing, false);
  lastListing_ = SplitListing(listing.Bytes(), MaxListingLines);
  if (destination != nullptr) *destination = lastListing_;
}

void TIdFTP::UploadFile(const std::string& localName, const std::string& remoteName, bool append) {
  TFileReadStream file(localName);
  UploadStream(file, remoteName, append);
}

void TIdFTP::UploadStream(TStream& source, const std::string& remoteName, bool append) {
  const std::string command = remoteName.empty() ? "STOU " : (append ? "APPE " : "STOR ") + remoteName;
  SendData(command, source);
}

}  // namespace ftp

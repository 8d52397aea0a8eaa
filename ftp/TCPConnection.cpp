#include "ftp/TCPConnection.h"

#include <algorithm>
#include <climits>

#include "ftp/Exceptions.h"
#include "ftp/Stack.h"
#include "ftp/Text.h"

namespace ftp {
namespace {

std::string NetworkOrder32(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

}  // namespace

TIdTCPConnection::TIdTCPConnection() {
  pendingInput_.OnConsumed = [this](std::size_t count) {
    AddWork(TWorkMode::wmRead, static_cast<std::int64_t>(count));
  };
}

TIdTCPConnection::~TIdTCPConnection() { CloseSocketOnly(); }

void TIdTCPConnection::SetIOHandler(TIdIOHandler* handler) {
  ownedHandler_.reset();
  ioHandler_ = handler;
}

void TIdTCPConnection::AdoptHandler(std::unique_ptr<TIdIOHandler> handler) {
  ioHandler_ = handler.get();
  ownedHandler_ = std::move(handler);
}

int TIdTCPConnection::FillInputBuffer(bool raiseIfDisconnected, int timeout, bool raiseOnTimeout) {
  if (timeout == WaitDefault) timeout = ReadTimeout == 0 ? WaitForever : ReadTimeout;
  CheckPeerClosed(raiseIfDisconnected, false);
  if (!IsConnected()) {
    if (raiseIfDisconnected) throw EIdNotConnected();
    return 0;
  }
  int count;
  do {
    if (!WaitForInput(timeout)) {
      if (raiseOnTimeout) throw EIdReadTimeout();
      return -1;
    }
    receiveChunk_.resize(static_cast<std::size_t>(std::max(RecvBufferSize, 1)));
    count = ioHandler_->ReceiveBytes(receiveChunk_.data(), static_cast<int>(receiveChunk_.size()));
    closedByPeer_ = count == 0;
    if (count == -1) {
      TIdStack& stack = TIdStack::Instance();
      stack.CheckSocketResult(-1, {platform::kSocketShutDown, platform::kSocketConnectionAborted});
      CloseSocketOnly();
      if (pendingInput_.Empty()) stack.ThrowSocketError(stack.LastSocketError());
      count = 0;
    }
    if (count > 0) {
      pendingInput_.Append(receiveChunk_.data(), static_cast<std::size_t>(count));
      speed_.Count(count);
    }
    CheckPeerClosed(raiseIfDisconnected, false);
  } while (count == 0 && IsConnected());
  return count;
}

bool TIdTCPConnection::WaitForInput(int timeout) {
  const Clock::time_point start = Clock::now();
  for (;;) {
    const Clock::time_point now = Clock::now();
    CheckBounds(now);
    std::int64_t slice = -1;
    if (timeout >= 0) {
      const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
      slice = std::max<std::int64_t>(timeout - waited, 0);
    }
    const std::int64_t toBound = MillisecondsToNextBound(now);
    const bool boundFirst = toBound >= 0 && (slice < 0 || toBound < slice);
    if (boundFirst) slice = toBound;
    const int wait = slice < 0 ? WaitForever : static_cast<int>(std::min<std::int64_t>(slice, INT_MAX));
    if (ioHandler_->WaitReadable(wait)) return true;
    if (!boundFirst) return false;
  }
}

void TIdTCPConnection::CheckBounds(Clock::time_point now) {
  if (now >= Deadline) throw EIdDeadlineReached();
  if (readingReply_ && now >= replyDeadline_) {
    // Not a byte of the reply came: a silent peer, as a single read would have found it.
    if (replyBytes_ == 0 && pendingInput_.Empty()) throw EIdReadTimeout();
    throw EIdReplyTimeout(ReadTimeout);
  }
  speed_.Check(now);
}

std::int64_t TIdTCPConnection::MillisecondsToNextBound(Clock::time_point now) const {
  Clock::time_point next = Deadline;
  if (readingReply_) next = std::min(next, replyDeadline_);
  if (speed_.Active()) next = std::min(next, speed_.PeriodEnd());
  if (next == Clock::time_point::max()) return -1;
  if (next <= now) return 0;
  return std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
}

bool TIdTCPConnection::BoundSendWait() {
  const Clock::time_point now = Clock::now();
  CheckBounds(now);
  const std::int64_t toBound = MillisecondsToNextBound(now);
  ioHandler_->LimitSendWait(toBound < 0 ? 0
                                        : static_cast<int>(std::clamp<std::int64_t>(toBound, 1, INT_MAX)));
  return toBound >= 0;
}

std::string TIdTCPConnection::ReadBytes(std::size_t count) {
  if (count == 0) return {};
  while (pendingInput_.Size() < count) {
    FillInputBuffer(true, WaitDefault, true);
    CheckPeerClosed(true, true);
  }
  return pendingInput_.Extract(count);
}

std::string TIdTCPConnection::ReadLine(std::string terminator, int timeout, int maximumLength) {
  LineWasSplit = false;
  LineTimedOut = false;
  if (terminator.empty()) terminator.push_back('\n');
  const std::size_t maximum = static_cast<std::size_t>(maximumLength < 0 ? MaxLineLength : maximumLength);
  std::size_t scanned = 0;
  std::size_t found = std::string::npos;
  for (;;) {
    if (!pendingInput_.Empty()) {
      // Only the bytes not searched before, plus enough to catch a terminator cut across two receives.
      const std::size_t from = scanned >= terminator.size() ? scanned - terminator.size() + 1 : 0;
      found = pendingInput_.View().find(terminator, from);
      scanned = pendingInput_.Size();
    }
    const std::size_t lineLength = found != std::string::npos ? found : scanned;
    if (maximum != 0 && lineLength > maximum) {
      if (MaxLineAction == TIdMaxLineAction::maException) throw EIdReadLnMaxLineLengthExceeded();
      LineWasSplit = true;
      replyBytes_ += maximum;
      return pendingInput_.Extract(maximum);
    }
    if (readingReply_ && MaxReplySize > 0 &&
        replyBytes_ + lineLength > static_cast<std::size_t>(MaxReplySize)) {
      throw EIdReplyTooLarge(MaxReplySize);
    }
    if (found != std::string::npos) break;
    CheckPeerClosed(true, true);
    if (FillInputBuffer(true, timeout, timeout == WaitDefault) <= 0) {
      LineTimedOut = true;
      return {};
    }
  }
  std::string line = pendingInput_.Extract(found + terminator.size());
  replyBytes_ += line.size();
  line.resize(found);
  if (terminator == "\n" && !line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string TIdTCPConnection::ReadNonEmptyLine(int attempts) {
  for (int i = 0; i < attempts; ++i) {
    std::string line = Trim(ReadLine());
    if (!line.empty()) return line;
  }
  return {};
}

void TIdTCPConnection::ReadReply() {
  constexpr int kUnlimitedAttempts = INT_MAX;
  // The reply's size and time bounds hold while this call reads.
  struct ReplyScope {
    bool& reading;
    ~ReplyScope() { reading = false; }
  } scope{readingReply_};
  readingReply_ = true;
  replyBytes_ = 0;
  replyDeadline_ =
      ReadTimeout > 0 ? Clock::now() + std::chrono::milliseconds(ReadTimeout) : Clock::time_point::max();
  std::vector<std::string> lines{ReadNonEmptyLine(kUnlimitedAttempts)};
  if (TIdRFCReply::IsMultiLineStart(lines.front())) {
    do {
      lines.push_back(ReadNonEmptyLine(kUnlimitedAttempts));
    } while (!TIdRFCReply::EndsMultiLine(lines.front(), lines.back()));
  }
  LastReply.ParseLines(lines);
}

int TIdTCPConnection::AwaitReply(std::initializer_list<int> acceptedCodes) {
  ReadReply();
  return CheckReplyCode(LastReply, acceptedCodes);
}

int TIdTCPConnection::CheckReplyCode(const TIdRFCReply& reply, std::initializer_list<int> acceptedCodes) {
  const int code = reply.NumericCode;
  if (acceptedCodes.size() != 0 &&
      std::find(acceptedCodes.begin(), acceptedCodes.end(), code) == acceptedCodes.end()) {
    throw EIdProtocolReplyError(code, reply.FormattedText());
  }
  return code;
}

void TIdTCPConnection::ReceiveStream(TStream& stream, std::int64_t byteCount, bool untilClose) {
  std::int64_t remaining = INT64_MAX;
  std::int64_t maximum = 0;
  if (!untilClose) {
    if (byteCount == -1) {
      const std::string prefix = ReadBytes(4);
      const auto* bytes = reinterpret_cast<const unsigned char*>(prefix.data());
      byteCount = static_cast<std::int32_t>(std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
                                            std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]});
    }
    remaining = maximum = std::max<std::int64_t>(byteCount, 0);
    stream.SetSize(stream.Position() + remaining);
  }
  auto moveBuffered = [&] {
    const std::size_t take = static_cast<std::size_t>(
        std::min<std::int64_t>(remaining, static_cast<std::int64_t>(pendingInput_.Size())));
    stream.Write(pendingInput_.View().data(), take);
    remaining -= static_cast<std::int64_t>(take);
    pendingInput_.Remove(take);
  };
  StartWork(TWorkMode::wmRead, maximum);
  speed_.Start(Clock::now(), LowSpeedLimit, LowSpeedTime);
  try {
    moveBuffered();
    while (IsConnected() && remaining > 0) {
      const auto chunkSize =
          static_cast<std::size_t>(std::min<std::int64_t>(remaining, std::max(RecvBufferSize, 1)));
      try {
        const std::string chunk = ReadBytes(chunkSize);
        stream.Write(chunk.data(), chunk.size());
        remaining -= static_cast<std::int64_t>(chunk.size());
      } catch (const EIdConnClosedGracefully&) {
        if (!untilClose) throw;
        moveBuffered();
      }
    }
  } catch (...) {
    speed_.Stop();
    FinishWork(TWorkMode::wmRead);
    throw;
  }
  speed_.Stop();
  FinishWork(TWorkMode::wmRead);
  if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

void TIdTCPConnection::WriteText(const std::string& text) { WriteBytes(text.data(), text.size()); }

void TIdTCPConnection::WriteLine(const std::string& text) {
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text).append("\r\n");
  WriteText(line);
}

void TIdTCPConnection::WriteBytes(const char* buffer, std::size_t count) {
  if (count == 0) return;
  CheckPeerClosed(true, true);
  if (!IsConnected()) throw EIdNotConnected();
  TIdStack& stack = TIdStack::Instance();
  std::size_t position = 0;
  while (position < count) {
    const int length = static_cast<int>(std::min<std::size_t>(count - position, INT_MAX));
    const bool bounded = BoundSendWait();
    const int sent = ioHandler_->SendBytes(buffer + position, length);
    if (sent < 0 && bounded) {
      const int error = ioHandler_->LastError();
      // The send waited until a bound fell due: the next round checks it.
      if (error == platform::kSocketWouldBlock || error == platform::kSocketTimedOut) continue;
    }
    closedByPeer_ = sent == 0;
    CheckPeerClosed(true, false);
    if (stack.CheckSocketResult(sent, {platform::kSocketShutDown, platform::kSocketConnectionAborted,
                                       platform::kSocketConnectionReset})) {
      CloseSocketOnly();
      stack.ThrowSocketError(stack.LastSocketError());
    }
    AddWork(TWorkMode::wmWrite, sent);
    speed_.Count(sent);
    position += static_cast<std::size_t>(sent);
  }
}

void TIdTCPConnection::SendStream(TStream& stream, bool fromStart, std::int64_t size, bool withLengthPrefix) {
  if (fromStart) stream.SetPosition(0);
  std::int64_t position = stream.Position();
  const std::int64_t end = size != 0 ? position + size : stream.Size();
  if (withLengthPrefix) WriteText(NetworkOrder32(static_cast<std::uint32_t>(end - position)));
  StartWork(TWorkMode::wmWrite, end - position);
  speed_.Start(Clock::now(), LowSpeedLimit, LowSpeedTime);
  try {
    std::vector<char> chunk(static_cast<std::size_t>(std::max(SendBufferSize, 1)));
    for (;;) {
      const auto n =
          static_cast<std::size_t>(std::min<std::int64_t>(end - position, std::max(SendBufferSize, 1)));
      if (n == 0) break;
      const std::size_t read = stream.Read(chunk.data(), n);
      if (read == 0) throw EIdNoDataToRead();
      WriteBytes(chunk.data(), read);
      position += static_cast<std::int64_t>(read);
    }
  } catch (...) {
    speed_.Stop();
    FinishWork(TWorkMode::wmWrite);
    throw;
  }
  speed_.Stop();
  FinishWork(TWorkMode::wmWrite);
}

int TIdTCPConnection::SendCommand(const std::string& line, std::initializer_list<int> acceptedCodes) {
  WriteLine(line);
  return AwaitReply(acceptedCodes);
}

int TIdTCPConnection::SendCommand(const std::string& line, int acceptedCode) {
  if (acceptedCode == -1) return SendCommand(line, {});
  return SendCommand(line, {acceptedCode});
}

bool TIdTCPConnection::IsConnected() {
  CheckPeerClosed(false, false);
  return ioHandler_ != nullptr && ioHandler_->IsOpen();
}

void TIdTCPConnection::CheckPeerClosed(bool raise, bool ignoreBuffer) {
  bool disconnected;
  if (closedByPeer_ || ioHandler_ == nullptr) {
    if (ioHandler_ != nullptr && ioHandler_->IsOpen()) {
      CloseSocketOnly();
      ReportStatus(TIdStatus::hsDisconnected);
      if (OnDisconnected) OnDisconnected(*this);
    }
    disconnected = ioHandler_ != nullptr;
  } else {
    disconnected = !ioHandler_->IsOpen();
  }
  if (disconnected && raise && (pendingInput_.Empty() || ignoreBuffer)) throw EIdConnClosedGracefully();
}

void TIdTCPConnection::CloseSocketOnly() {
  if (ioHandler_ == nullptr) return;
  closedByPeer_ = true;
  ioHandler_->CloseHandler();
}

void TIdTCPConnection::CloseConnection() {
  ReportStatus(TIdStatus::hsDisconnecting);
  CloseSocketOnly();
  if (ownedHandler_) {
    ownedHandler_.reset();
    ioHandler_ = nullptr;
  }
  if (OnDisconnected) OnDisconnected(*this);
  ReportStatus(TIdStatus::hsDisconnected);
}

void TIdTCPConnection::ResetInput() {
  pendingInput_.Clear();
  closedByPeer_ = false;
}

}  // namespace ftp

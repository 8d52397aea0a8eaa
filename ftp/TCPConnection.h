#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ftp/Component.h"
#include "ftp/IOHandler.h"
#include "ftp/LowSpeedWatch.h"
#include "ftp/ManagedBuffer.h"
#include "ftp/RFCReply.h"
#include "ftp/Stream.h"

namespace ftp {

enum class TIdMaxLineAction { maException, maSplit };

// A connection speaking a line-oriented command/reply protocol: buffered input, lines with a length
// limit, numeric replies checked against the codes a caller accepts, and whole streams either way.
class TIdTCPConnection : public TIdComponent {
 public:
  TIdTCPConnection();
  ~TIdTCPConnection() override;

  int MaxLineLength = 16384;  // 0: no limit
  TIdMaxLineAction MaxLineAction = TIdMaxLineAction::maException;
  int ReadTimeout = 0;  // milliseconds for WaitDefault reads; 0: no limit
  int RecvBufferSize = 32768;
  int SendBufferSize = 32768;
  TNotifyEvent OnDisconnected;

  // Bounds against a peer that sends without end or trickles. A reply takes at most MaxReplySize bytes
  // (blank lines included; 0: no limit) and, with a ReadTimeout, must be complete within ReadTimeout
  // from its start. A stream moved either way must keep LowSpeedLimit bytes per second over every
  // LowSpeedTime seconds (either 0: no floor). No wait runs past Deadline.
  using Clock = std::chrono::steady_clock;
  int MaxReplySize = 1048576;
  int LowSpeedLimit = 0;
  int LowSpeedTime = 0;
  Clock::time_point Deadline = Clock::time_point::max();

  TIdRFCReply WelcomeReply;
  TIdRFCReply LastReply;
  bool LineWasSplit = false;
  bool LineTimedOut = false;

  TIdIOHandler* IOHandler() const { return ioHandler_; }
  // A handler owned elsewhere; connections create and own a socket handler when none is set.
  void SetIOHandler(TIdIOHandler* handler);
  bool OwnsHandler() const { return ownedHandler_ != nullptr; }
  const TIdManagedBuffer& PendingInput() const { return pendingInput_; }

  // Reading.
  int FillInputBuffer(bool raiseIfDisconnected, int timeout, bool raiseOnTimeout);
  std::string ReadBytes(std::size_t count);
  std::string ReadLine(std::string terminator = "\n", int timeout = WaitDefault, int maximumLength = -1);
  std::string ReadNonEmptyLine(int attempts);
  void ReadReply();
  int AwaitReply(std::initializer_list<int> acceptedCodes);
  static int CheckReplyCode(const TIdRFCReply& reply, std::initializer_list<int> acceptedCodes);
  void ReceiveStream(TStream& stream, std::int64_t byteCount, bool untilClose);

  // Writing.
  void WriteText(const std::string& text);
  void WriteLine(const std::string& text);
  void WriteBytes(const char* buffer, std::size_t count);
  void SendStream(TStream& stream, bool fromStart, std::int64_t size, bool withLengthPrefix);
  int SendCommand(const std::string& line, std::initializer_list<int> acceptedCodes);
  // -1 accepts any code.
  int SendCommand(const std::string& line, int acceptedCode);

  // State.
  bool IsConnected();
  void CheckPeerClosed(bool raise, bool ignoreBuffer);
  void CloseSocketOnly();
  virtual void CloseConnection();
  void ResetInput();

 protected:
  // A handler this connection creates, owns and frees on CloseConnection.
  void AdoptHandler(std::unique_ptr<TIdIOHandler> handler);
  bool ClosedByPeer() const { return closedByPeer_; }
  // Waits for input on the handler up to `timeout`, in slices that end where a bound falls due; a bound
  // passed raises. False when the timeout ended the wait.
  bool WaitForInput(int timeout);

 private:
  void CheckBounds(Clock::time_point now);
  // Milliseconds until the next bound falls due; -1 when none is set.
  std::int64_t MillisecondsToNextBound(Clock::time_point now) const;
  // Gives the handler's sends the time left to the next bound; false when no bound is set.
  bool BoundSendWait();

  TIdIOHandler* ioHandler_ = nullptr;
  std::unique_ptr<TIdIOHandler> ownedHandler_;
  TIdManagedBuffer pendingInput_;
  std::vector<char> receiveChunk_;
  bool closedByPeer_ = false;
  bool readingReply_ = false;
  Clock::time_point replyDeadline_ = Clock::time_point::max();
  std::size_t replyBytes_ = 0;
  TIdLowSpeedWatch speed_;
};

}  // namespace ftp

#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ftp {

inline constexpr int WaitDefault = -1;  // the connection's read timeout
inline constexpr int WaitForever = -2;  // no limit

enum class TWorkMode { wmRead = 0, wmWrite = 1 };

enum class TIdStatus {
  hsResolving,
  hsConnecting,
  hsConnected,
  hsDisconnecting,
  hsDisconnected,
  hsStatusText,
  ftpTransfer,
  ftpReady,
  ftpAborted
};

class TIdComponent;

// Byte counts are 64-bit so that archives beyond 2 GiB report true sizes and totals.
using TIdStatusEvent = std::function<void(TIdComponent& sender, TIdStatus status, const std::string& text)>;
using TWorkBeginEvent = std::function<void(TIdComponent& sender, TWorkMode mode, std::int64_t workCountMax)>;
using TWorkEvent = std::function<void(TIdComponent& sender, TWorkMode mode, std::int64_t workCount)>;
using TWorkEndEvent = std::function<void(TIdComponent& sender, TWorkMode mode)>;
using TNotifyEvent = std::function<void(TIdComponent& sender)>;

// Base of every network component: status and work (progress) events. While any component exists the
// process-wide socket stack exists.
class TIdComponent {
 public:
  TIdComponent();
  virtual ~TIdComponent();
  TIdComponent(const TIdComponent&) = delete;
  TIdComponent& operator=(const TIdComponent&) = delete;

  TIdStatusEvent OnStatus;
  TWorkBeginEvent OnWorkBegin;
  TWorkEvent OnWork;
  TWorkEndEvent OnWorkEnd;

  // Formats the status's text with `argument` (for the texts holding "%s") and passes it to OnStatus.
  void ReportStatus(TIdStatus status, const std::string& argument = {});
  void StartWork(TWorkMode mode, std::int64_t maximum);
  void AddWork(TWorkMode mode, std::int64_t count);
  void FinishWork(TWorkMode mode);

 private:
  struct WorkRecord {
    int level = 0;
    std::int64_t maximum = 0;
    std::int64_t count = 0;
  };
  WorkRecord& Work(TWorkMode mode) { return work_[static_cast<int>(mode)]; }

  WorkRecord work_[2];
};

}  // namespace ftp

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ibservice/ClientApi.h"
#include "ibservice/StringList.h"

namespace ibservice {

enum class TProtocol { TCP, SPX, NamedPipe, Local };

class TIBCustomService;
using TNotifyEvent = std::function<void(TIBCustomService& sender)>;
using TLoginEvent = std::function<void(TIBCustomService& database, TStringList& loginParams)>;

// Base of the service components: where the service manager is, which credentials to present, and the
// attachment itself.
class TIBCustomService {
 public:
  // Binds the client library first: EIBClientError 1 when it is missing, EOSError when it is incomplete.
  TIBCustomService();
  TIBCustomService(const TIBCustomService&) = delete;
  TIBCustomService& operator=(const TIBCustomService&) = delete;
  virtual ~TIBCustomService();

  bool Active() const { return serviceHandle_ != 0; }
  // true attaches, false detaches; writing the current state does nothing.
  void SetActive(bool value);

  const std::string& ServerName() const { return serverName_; }
  void SetServerName(const std::string& value);
  TProtocol Protocol() const { return protocol_; }
  // Local also empties ServerName.
  void SetProtocol(TProtocol value);
  // "name=value" lines; every change is refused while attached.
  TStringList& Params() { return params_; }
  const TStringList& Params() const { return params_; }
  void SetParams(const std::vector<std::string>& lines) { params_.Assign(lines); }
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool value) { loginPrompt_ = value; }

  TNotifyEvent OnAttach;
  TLoginEvent OnLogin;

  void Attach();
  void Detach();
  // The name passed to the client library for the current protocol and server.
  std::string ServiceName() const;

 protected:
  // Sends QueryItems and fills ReplyBuffer; the attachment is not checked here (the library reports it).
  void Query();
  void CheckActive() const;
  void CheckInactive() const;
  // A call result above 0 drops the attachment (without detaching) and raises the library's error.
  void CheckCallResult(ISC_STATUS result);

  std::string queryItems_;
  std::vector<ISC_SCHAR> replyBuffer_;
  std::uint16_t bufferSize_ = 32000;
  isc_svc_handle serviceHandle_ = 0;

 private:
  bool RunLoginStep();

  std::string serverName_;
  TProtocol protocol_ = TProtocol::Local;
  TStringList params_;
  bool loginPrompt_ = true;
  std::string parameterBuffer_;
  bool paramsDirty_ = true;
};

}  // namespace ibservice

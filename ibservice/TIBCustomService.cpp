#include "ibservice/TIBCustomService.h"

#include "ibservice/ClientLibrary.h"
#include "ibservice/ClientText.h"
#include "ibservice/Errors.h"
#include "ibservice/ServiceBuffers.h"
#include "ibservice/StatusError.h"

namespace ibservice {

TIBCustomService::TIBCustomService() {
  RequireClientLibrary();
  params_.OnChanging = [this] { CheckInactive(); };
  params_.OnChange = [this] { paramsDirty_ = true; };
}

TIBCustomService::~TIBCustomService() {
  if (Active()) {
    try {
      Detach();
    } catch (const std::exception&) {
      // The handle is dropped either way; a destructor has nobody to report to.
    }
  }
}

void TIBCustomService::SetActive(bool value) {
  if (value == Active()) {
    return;
  }
  if (value) {
    Attach();
  } else {
    Detach();
  }
}

void TIBCustomService::SetServerName(const std::string& value) {
  if (value == serverName_) {
    return;
  }
  CheckInactive();
  serverName_ = value;
}

void TIBCustomService::SetProtocol(TProtocol value) {
  if (value == protocol_) {
    return;
  }
  CheckInactive();
  protocol_ = value;
  if (protocol_ == TProtocol::Local) {
    serverName_.clear();
  }
}

std::string TIBCustomService::ServiceName() const {
  switch (protocol_) {
    case TProtocol::TCP:
      return serverName_ + ":service_mgr";
    case TProtocol::SPX:
      return serverName_ + "@service_mgr";
    case TProtocol::NamedPipe:
      return "\\\\" + serverName_ + "\\service_mgr";
    case TProtocol::Local:
      break;
  }
  return "service_mgr";
}

void TIBCustomService::Attach() {
  CheckInactive();
  if (serverName_.empty() && protocol_ != TProtocol::Local) {
    RaiseClientError(kServerNameMissing);
  }
  if (loginPrompt_ && !RunLoginStep()) {
    RaiseClientError(kOperationCancelled);
  }
  if (paramsDirty_) {
    // Built before the flag is cleared, so that a refused line leaves no stale buffer for the next Attach.
    parameterBuffer_ = BuildParameterBuffer(params_.Lines());
    paramsDirty_ = false;
  }
  const std::string serviceName = ToClientText(ServiceName());
  RequireFits16Bits(serviceName.size(), "The service name");
  const ISC_STATUS result = Client().isc_service_attach(
      ThreadStatusVector(), static_cast<unsigned short>(serviceName.size()), serviceName.data(),
      &serviceHandle_, static_cast<unsigned short>(parameterBuffer_.size()), parameterBuffer_.data());
  CheckCallResult(result);
  if (OnAttach) {
    OnAttach(*this);
  }
}

void TIBCustomService::Detach() {
  CheckActive();
  const ISC_STATUS result = Client().isc_service_detach(ThreadStatusVector(), &serviceHandle_);
  serviceHandle_ = 0;
  if (result > 0) {
    RaiseStatusError();
  }
}

void TIBCustomService::Query() {
  if (queryItems_.empty()) {
    RaiseClientError(kQueryParamsError);
  }
  const std::string items = std::move(queryItems_);
  queryItems_.clear();
  RequireFits16Bits(items.size(), "The query request");
  if (replyBuffer_.empty()) {
    replyBuffer_.assign(bufferSize_, 0);
  }
  const ISC_STATUS result = Client().isc_service_query(
      ThreadStatusVector(), &serviceHandle_, nullptr, 0, nullptr, static_cast<unsigned short>(items.size()),
      items.data(), static_cast<unsigned short>(replyBuffer_.size()), replyBuffer_.data());
  CheckCallResult(result);
}

void TIBCustomService::CheckActive() const {
  if (!Active()) {
    RaiseClientError(kServiceNotAttached);
  }
}

void TIBCustomService::CheckInactive() const {
  if (Active()) {
    RaiseClientError(kServiceAttached);
  }
}

void TIBCustomService::CheckCallResult(ISC_STATUS result) {
  if (result > 0) {
    serviceHandle_ = 0;
    RaiseStatusError();
  }
}

bool TIBCustomService::RunLoginStep() {
  if (!OnLogin) {
    // No interactive login dialog exists in this program.
    return false;
  }
  TStringList loginParams;
  loginParams.Assign(params_.Lines());
  OnLogin(*this, loginParams);
  params_.Assign(loginParams.Lines());
  return true;
}

}  // namespace ibservice

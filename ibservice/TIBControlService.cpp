#include "ibservice/TIBControlService.h"

#include "ibservice/ClientLibrary.h"
#include "ibservice/Errors.h"
#include "ibservice/StatusError.h"

namespace ibservice {

void TIBControlService::Start() {
  CheckActive();
  startRequest_ = ServiceRequest{};
  BuildStartRequest();
  const std::string request = startRequest_.Bytes();
  startRequest_ = ServiceRequest{};
  if (request.empty()) {
    RaiseClientError(kStartParamsError);
  }
  RequireFits16Bits(request.size(), "The start request");
  const ISC_STATUS result =
      Client().isc_service_start(ThreadStatusVector(), &serviceHandle_, nullptr,
                                 static_cast<unsigned short>(request.size()), request.data());
  CheckCallResult(result);
}

}  // namespace ibservice

#pragma once

#include "ibservice/ServiceBuffers.h"
#include "ibservice/TIBCustomService.h"

namespace ibservice {

// A service component that starts an action on the server.
class TIBControlService : public TIBCustomService {
 public:
  // Needs the attachment; builds the start request and sends it. Returns once the server accepted it.
  virtual void Start();

 protected:
  // Fills startRequest_; the base has no action of its own.
  virtual void BuildStartRequest() {}

  ServiceRequest startRequest_;
};

}  // namespace ibservice

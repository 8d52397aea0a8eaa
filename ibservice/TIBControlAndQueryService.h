#pragma once

#include <cstdint>
#include <string>

#include "ibservice/TIBControlService.h"

namespace ibservice {

// A service component that reads the running action's output line by line.
class TIBControlAndQueryService : public TIBControlService {
 public:
  int BufferSize() const { return bufferSize_; }
  // The reply buffer's size: at least 4 bytes (the shortest reply) and at most 65535 (a 16-bit length).
  void SetBufferSize(int value);
  bool EndOfOutput() const { return endOfOutput_; }
  // The next line of the action's output; an empty text and EndOfOutput at its end.
  std::string ReadOutputLine();

 protected:
  // Called by BuildStartRequest: the action whose output is read next.
  void BeginAction(int action) {
    currentAction_ = action;
    endOfOutput_ = false;
  }

 private:
  int currentAction_ = 0;
  bool endOfOutput_ = false;
};

}  // namespace ibservice

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
  // The most output one action may give, in line bytes as the server sends them (0: no limit): a
  // server that never ends its report fails instead of filling the status console for ever. The
  // verbose report of a large database is well under 1 MiB.
  std::int64_t MaxOutputSize() const { return maxOutputSize_; }
  void SetMaxOutputSize(std::int64_t value) { maxOutputSize_ = value; }
  // The next line of the action's output; an empty text and EndOfOutput at its end. Output beyond
  // MaxOutputSize raises EIBError.
  std::string ReadOutputLine();

 protected:
  // Called by BuildStartRequest: the action whose output is read next.
  void BeginAction(int action) {
    currentAction_ = action;
    endOfOutput_ = false;
    outputSize_ = 0;
  }

 private:
  int currentAction_ = 0;
  bool endOfOutput_ = false;
  std::int64_t maxOutputSize_ = 16 * 1024 * 1024;
  std::int64_t outputSize_ = 0;
};

}  // namespace ibservice

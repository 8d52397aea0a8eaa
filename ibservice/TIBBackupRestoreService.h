#pragma once

#include "ibservice/TIBControlAndQueryService.h"

namespace ibservice {

class TIBBackupRestoreService : public TIBControlAndQueryService {
 public:
  // Asks the server for a progress line per step of the action.
  bool Verbose() const { return verbose_; }
  void SetVerbose(bool value) { verbose_ = value; }

 private:
  bool verbose_ = false;
};

}  // namespace ibservice

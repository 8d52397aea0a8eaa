#pragma once

#include "run/RunContext.h"

namespace run {

// Uploads context.names.localArchivePath as context.names.remoteName (in EdtPastaFTP), keeping the
// configured number of archives on the server and retrying failed attempts (automatically, 10 s apart
// through context.sleeper, when Check_ErroFTP is on or context.window cannot ask questions). Reports its
// own failures in the log and returns whether the upload succeeded. Throws nothing.
class FtpDelivery {
 public:
  virtual ~FtpDelivery() = default;
  virtual DeliveryOutcome Perform(RunContext& context) = 0;
};

}  // namespace run
